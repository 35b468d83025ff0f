#include "designrecovery.h"
#include "dlgprintercalibration.h"
#include "frmmain.h"
#include "messagesink.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QIcon>
#include <QSettings>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Default-constructed QSettings (the printer calibration) open the program's settings file.
    QApplication::setOrganizationName(QStringLiteral("Vernalith"));
    QApplication::setApplicationName(QStringLiteral("Vernalith"));
    QApplication::setApplicationVersion(QStringLiteral(VERNALITH_VERSION_TEXT));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/vernalith.svg")));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Designs the printed face card of an analogue panel meter."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A dial file (.vlt) to open."),
                                 QStringLiteral("[file]"));
    // For the printing check against a real print service: print the file on the default
    // printer as the Print button does, report messages on stderr instead of boxes, and quit.
    QCommandLineOption printAndQuit(QStringLiteral("print-and-quit"));
    printAndQuit.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(printAndQuit);
    // The same for Printer Calibration's three commands, on the printer Print would use:
    // print the test sheet; store the factors for rulers measured "X,Y" mm; remove them.
    QCommandLineOption testSheetAndQuit(QStringLiteral("print-test-sheet-and-quit"));
    QCommandLineOption calibrateAndQuit(QStringLiteral("calibrate-and-quit"), QString(), QStringLiteral("X,Y"));
    QCommandLineOption resetCalibrationAndQuit(QStringLiteral("reset-calibration-and-quit"));
    for (QCommandLineOption *option : {&testSheetAndQuit, &calibrateAndQuit, &resetCalibrationAndQuit}) {
        option->setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(*option);
    }
    parser.process(app);

    const QStringList files = parser.positionalArguments();
    const QString file = files.isEmpty() ? QString() : files.first();

    // Before the window, which keeps its recent files there while it lives.
    QSettings settings(QStringLiteral("Vernalith"), QStringLiteral("Vernalith"));
    vernalith::FrmMain window;

    if (parser.isSet(printAndQuit)) {
        vernalith::StderrMessageSink messages;
        window.setMessageSink(&messages);
        if (!file.isEmpty() && !window.loadFile(file))
            return 1;
        window.cmdPrint_Click();
        window.setMessageSink(nullptr);
        return messages.messageCount() == 0 ? 0 : 1;
    }
    if (parser.isSet(testSheetAndQuit) || parser.isSet(calibrateAndQuit) || parser.isSet(resetCalibrationAndQuit)) {
        vernalith::StderrMessageSink messages;
        window.setMessageSink(&messages);
        if (!file.isEmpty() && !window.loadFile(file))
            return 1;
        if (vernalith::DlgPrinterCalibration *dialog = window.newPrinterCalibrationDialog()) {
            if (parser.isSet(resetCalibrationAndQuit))
                dialog->resetCalibration();
            if (parser.isSet(calibrateAndQuit)) {
                const QStringList lengths = parser.value(calibrateAndQuit).split(QLatin1Char(','));
                dialog->storeMeasurements(lengths.value(0), lengths.value(1));
            }
            if (parser.isSet(testSheetAndQuit))
                dialog->printTestSheet();
            delete dialog;
        }
        window.setMessageSink(nullptr);
        return messages.messageCount() == 0 ? 0 : 1;
    }

    window.keepSession(&settings, vernalith::DesignRecovery::defaultDirectory());
    window.show();
    if (!file.isEmpty()) {
        // Opened once the window is up, so that a message about the file has the window behind it.
        QTimer::singleShot(0, &window, [&window, file] { window.openAtStartup(file); });
    }
    return app.exec();
}

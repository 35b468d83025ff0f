#include "designtableview.h"

#include "currentcelldelegate.h"
#include "design/designtable.h"
#include "design/rowtext.h"
#include "design/tablecommands.h"
#include "twips.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace vernalith {

QChar tableKeyCode(const QKeyEvent &event)
{
    const Qt::KeyboardModifiers mods = event.modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    if (event.key() == Qt::Key_X && mods == Qt::ControlModifier)
        return QChar(kKeyCut);
    if ((event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) && mods == Qt::NoModifier)
        return QChar(kKeyEnter);
    if (event.key() == Qt::Key_Backspace && mods == Qt::NoModifier)
        return QChar(kKeyBackspace);
    // Shortcut-like combinations type nothing, even where the platform hands a control code.
    if (mods & (Qt::ControlModifier | Qt::MetaModifier))
        return QChar();
    const QString text = event.text();
    if (text.size() != 1 || text.front().category() == QChar::Other_Control)
        return QChar();
    return text.front();
}

DesignTableView::DesignTableView(QWidget *parent) : QTableView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab belongs to the window's tab order, not to moving between cells.
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    verticalHeader()->hide();
    // Rows have no titles of their own: the grid shows data cells under its header row only.
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setWordWrap(false);
    setItemDelegate(new CurrentCellDelegate(this));
    horizontalHeader()->viewport()->installEventFilter(this);
}

void DesignTableView::setDesignTable(DesignTable *table, double logicalDpi)
{
    m_table = table;
    setModel(table);

    // A grid row is 240 twips high unless the font needs more.
    const int rowHeight = std::max(twipsToPixels(240, logicalDpi), fontMetrics().height() + 2);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setFixedHeight(rowHeight);
    // Columns without a width of their own get one that lets the widest table show all its
    // columns without scrolling.
    horizontalHeader()->setDefaultSectionSize(twipsToPixels(1080, logicalDpi));
    for (int col = 0; col < table->columns(); ++col) {
        const int twips = table->columnWidthTwips(col);
        if (twips > 0)
            setColumnWidth(col, twipsToPixels(twips, logicalDpi));
    }

    connect(table, &DesignTable::currentCellChanged, this, &DesignTableView::showTableCurrentCell);
    connect(table, &QAbstractItemModel::modelReset, this,
            [this] { showTableCurrentCell(m_table->row(), m_table->col()); });
    showTableCurrentCell(table->row(), table->col());
}

void DesignTableView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copyRows();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteRows();
        return;
    }
    const QChar code = tableKeyCode(*event);
    if (code.isNull()) {
        // Arrows, Home, End and the page keys move the current cell; everything else goes on
        // to the window (F1, Esc).
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QTableView::keyPressEvent(event);
            return;
        default:
            event->ignore();
            return;
        }
    }
    bool used = false;
    emit keyCode(code, &used);
    event->setAccepted(used);
}

void DesignTableView::inputMethodEvent(QInputMethodEvent *event)
{
    // Composed characters (dead keys, input methods) arrive here instead of as key presses.
    for (const QChar c : event->commitString()) {
        bool used = false;
        emit keyCode(c, &used);
    }
    event->accept();
}

void DesignTableView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (!m_table || !current.isValid() || m_followingView)
        return;
    m_followingView = true;
    m_table->setRow(current.row() + 1);
    m_table->setCol(current.column());
    m_followingView = false;
}

void DesignTableView::showTableCurrentCell(int row, int col)
{
    if (m_followingView || !m_table)
        return;
    m_followingView = true;
    if (row < 1) {
        // The header row is not a cell of the view.
        selectionModel()->clearCurrentIndex();
    } else {
        const QModelIndex index = m_table->index(row - 1, col);
        if (index != currentIndex())
            setCurrentIndex(index);
        scrollTo(index);
    }
    m_followingView = false;
}

void DesignTableView::copyRows()
{
    if (!m_table)
        return;
    int first = m_table->row();
    int last = first;
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    for (const QModelIndex &index : selected) {
        first = std::min(first, index.row() + 1);
        last = std::max(last, index.row() + 1);
    }
    const QString text = rowsAsText(*m_table, first, last);
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void DesignTableView::pasteRows()
{
    if (!m_table)
        return;
    const PasteOutcome outcome = vernalith::pasteRows(*m_table, QApplication::clipboard()->text());
    if (outcome.result != PasteOutcome::Pasted)
        emit refused();
}

QString DesignTableView::headerToolTip(int section) const
{
    if (!m_table || section < 0 || section >= m_table->columns())
        return QString();
    const QString title = m_table->title(section);
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader());
    const int needed = horizontalHeader()->fontMetrics().horizontalAdvance(title) + 2 * margin;
    return needed > horizontalHeader()->sectionSize(section) ? title : QString();
}

bool DesignTableView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString tip = headerToolTip(horizontalHeader()->logicalIndexAt(help->pos()));
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, horizontalHeader());
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void DesignTableView::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(viewport());
    QPen pen(CurrentCellDelegate::strongColor(palette()));
    pen.setWidth(2);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(viewport()->rect()).adjusted(1, 1, -1, -1));
}

void DesignTableView::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    // Scrolling moves the pixels already drawn, the frame's edges with them.
    if (hasFocus())
        viewport()->update();
}

void DesignTableView::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    viewport()->update();
}

void DesignTableView::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    viewport()->update();
}

} // namespace vernalith

// What the application sets for every window: Russian formats under any system locale (CTest also
// runs these tests under the C and en_US locales), a font in which every caption of the layouts fits
// its control at the design sizes, message boxes wide enough for their caption, and Qt's own texts in
// Russian.

#include <QAbstractSpinBox>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "app/about_box.h"
#include "app/main_window.h"
#include "browser/picture_fields.h"
#include "browser/picture_grid.h"
#include "chart/graph_window.h"
#include "collect/explorer_window.h"
#include "platform/message_box.h"
#include "tests/support/temp_database.h"

namespace {

TEST(RussianFormats, GridCalendarsAndNumberBoxesUseThemUnderAnyLocale)
{
    test_support::TempDatabase db;
    db.execute("insert into PICTURES (ID, TITLE, ACCEPT_DATE) values (101, 'P', '01.07.2008')");
    db.execute("insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", ON_DEMAND, ENHANCED, SALE_DATE) values "
               "(gen_id(GEN_SALES_ID, 1), 101, 3, 181.5, 0, 0, '02.07.2008')");
    app::TfmMain window(db.appDir());
    window.joinDataModule(db.dm());
    window.show();

    const QAbstractItemModel* grid = window.picGrid->model();
    ASSERT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(grid->index(0, browser::ColAcceptDate).data().toString(), QStringLiteral("01.07.2008"));
    EXPECT_EQ(grid->index(0, browser::ColSumSales).data().toString(), QStringLiteral("181,50"));
    EXPECT_EQ(window.edFrom->text(), QStringLiteral("01.01.2005"));

    const QCalendarWidget* calendar = window.edFrom->calendarWidget();
    EXPECT_EQ(calendar->locale().standaloneMonthName(1), QStringLiteral("январь"));
    EXPECT_EQ(calendar->locale().dayName(1, QLocale::ShortFormat), QStringLiteral("пн"));
    EXPECT_EQ(calendar->firstDayOfWeek(), Qt::Monday);

    QDoubleSpinBox numberBox;
    numberBox.setValue(1.5);
    EXPECT_EQ(numberBox.text(), QStringLiteral("1,50"));
}

// The text of a control and the room it has for it; empty when the control shows no fixed caption.
struct Room
{
    QString text;
    int needed = 0;
    int available = 0;
};

// The width up to the nearest visible sibling that starts to the right and overlaps it vertically: a
// label placed beside an offset box must end before the box.
int widthBeforeRightNeighbour(const QWidget* control)
{
    int width = control->width();
    const QRect own = control->geometry();
    for (const QWidget* sibling : control->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect other = sibling->geometry();
        if (sibling->isVisible() && other.x() > own.x() && other.top() <= own.bottom() && other.bottom() >= own.top())
            width = std::min(width, other.x() - own.x());
    }
    return width;
}

std::vector<Room> roomsOf(const QWidget* control)
{
    const QFontMetrics metrics = control->fontMetrics();
    const QStyle* style = control->style();
    if (const auto* label = qobject_cast<const QLabel*>(control); label && !label->wordWrap())
        return {{label->text(), metrics.horizontalAdvance(label->text()) + std::max(0, label->indent()),
                 std::min(label->contentsRect().width(), widthBeforeRightNeighbour(label))}};
    if (const auto* box = qobject_cast<const QCheckBox*>(control))
        return {{box->text(),
                 style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                     style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box) +
                     metrics.horizontalAdvance(box->text()),
                 box->width()}};
    if (const auto* button = qobject_cast<const QPushButton*>(control))
        return {{button->text(), metrics.horizontalAdvance(button->text()), button->contentsRect().width()}};
    if (const auto* list = qobject_cast<const QComboBox*>(control)) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        const int field = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list).width();
        std::vector<Room> rooms;
        for (int item = 0; item < list->count(); ++item)
            rooms.push_back({list->itemText(item), metrics.horizontalAdvance(list->itemText(item)), field});
        return rooms;
    }
    if (const auto* numberBox = qobject_cast<const QSpinBox*>(control)) {
        const QString widest = QString::number(numberBox->maximum());
        const QLineEdit* edit = numberBox->findChild<QLineEdit*>();
        return {{widest, metrics.horizontalAdvance(widest), edit->contentsRect().width()}};
    }
    return {};
}

void expectEveryCaptionFits(const QWidget& window)
{
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisible() || control->objectName() == QLatin1String("lbCount"))
            continue;
        for (const Room& room : roomsOf(control))
            EXPECT_LE(room.needed, room.available)
                << window.objectName().toStdString() << "." << control->objectName().toStdString() << " \""
                << room.text.toStdString() << "\"";
        if (const auto* label = qobject_cast<const QLabel*>(control); label && !label->text().isEmpty())
            EXPECT_LE(control->fontMetrics().height(), label->contentsRect().height()) << label->text().toStdString();
    }
    for (const QTreeWidget* tree : window.findChildren<QTreeWidget*>())
        for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(tree)); *it; ++it) {
            const QRect row = tree->visualItemRect(*it);
            const int textEnd = row.x() + tree->iconSize().width() + tree->fontMetrics().horizontalAdvance((*it)->text(0));
            EXPECT_LE(textEnd, tree->viewport()->width()) << (*it)->text(0).toStdString();
        }
}

TEST(WindowCaptions, EveryFixedCaptionFitsItsControlAtTheDesignSizes)
{
    test_support::TempDatabase db;
    app::TfmMain main(db.appDir());
    main.joinDataModule(db.dm());
    collect::TfmExplorer explorer;
    chart::TfmGraph graph;
    app::TfmAbout about;
    for (QWidget* window : std::initializer_list<QWidget*>{&main, &explorer, &graph, &about}) {
        window->show();
        expectEveryCaptionFits(*window);
    }
}

TEST(MessageBoxes, AreWideEnoughForTheirCaption)
{
    for (const QString& caption : {QStringLiteral("Photoledger"),
                                   QStringLiteral("Очень длинный заголовок окна с сообщением об ошибке")}) {
        QMessageBox box(QMessageBox::Information, caption, QStringLiteral("Обновлено!"), QMessageBox::Ok);
        platform::keepCaptionInView(box);
        box.show();
        EXPECT_GE(box.width(), platform::MessageBoxMinimumWidth) << caption.toStdString();
        EXPECT_GE(box.width(), box.fontMetrics().horizontalAdvance(caption) + platform::TitleBarButtonsWidth)
            << caption.toStdString();
    }
}

TEST(QtTexts, DialogButtonsAreRussian)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Photoledger"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    const std::pair<QMessageBox::StandardButton, const char*> buttons[] = {
        {QMessageBox::Yes, "&Да"}, {QMessageBox::No, "&Нет"}, {QMessageBox::Cancel, "Отмена"}};
    for (const auto& [button, text] : buttons)
        EXPECT_EQ(box.button(button)->text().toStdString(), text);
}

} // namespace

#include "app/about_box.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/click_label.h"
#include "platform/window_font.h"
#include "app/window_placement.h"
#include "platform/handler_guard.h"

namespace app {

namespace {

const QSize ClientSize(335, 266);
const int TextAreaBorder = 10;

QString aboutText()
{
    return QStringLiteral(
        "Photoledger 1.1.9\n"
        "\n"
        "Учёт портфолио автора фотобанка: снимки с заголовками и ключевыми словами, даты приёмки, "
        "ежедневные загрузки и заработок. Программа собирает статистику со страниц автора на сайте "
        "фотобанка, хранит её в базе данных рядом с собой и показывает продажи каждой работы за любой "
        "период.\n"
        "\n"
        "Программа распространяется бесплатно и «как есть», без каких-либо гарантий. Её можно свободно "
        "копировать и передавать другим без изменений.");
}

} // namespace

TfmAbout::TfmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmAbout"));
    setWindowTitle(QStringLiteral("О программе"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(ClientSize);
    setFont(platform::windowFont());

    Memo1 = new QPlainTextEdit(aboutText(), this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->hide();

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(Button1);
    buttonRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildTextArea(), 1);
    layout->addLayout(buttonRow);

    platform::connectGuarded(Button1, &QPushButton::clicked, this, &TfmAbout::accept);
    platform::connectGuarded(Label1, &platform::ClickLabel::clicked, this, &TfmAbout::Label1Click);
}

QWidget* TfmAbout::buildTextArea()
{
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    Label1 = new platform::ClickLabel(panel);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(TextAreaBorder, TextAreaBorder, TextAreaBorder, TextAreaBorder);
    layout->addWidget(Label1);
    return panel;
}

void TfmAbout::FormShow()
{
    Label1->setText(Memo1->toPlainText());
}

void TfmAbout::Label1Click()
{
    close();
}

void TfmAbout::showEvent(QShowEvent* event)
{
    centreOnScreen(this);
    platform::guarded([this] { FormShow(); });
    QDialog::showEvent(event);
}

} // namespace app

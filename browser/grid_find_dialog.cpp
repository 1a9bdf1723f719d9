#include "browser/grid_find_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace browser {

GridFindDialog::GridFindDialog(QWidget* parent)
    : QDialog(parent), text_(new QLineEdit(this)), status_(new QLabel(this))
{
    setObjectName(QStringLiteral("GridFindDialog"));
    setWindowTitle(QStringLiteral("Поиск"));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* find = buttons->addButton(QStringLiteral("Найти далее"), QDialogButtonBox::ActionRole);
    find->setDefault(true);
    buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
    connect(find, &QPushButton::clicked, this, [this] {
        status_->clear();
        Q_EMIT findNext(text());
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Найти:"), this));
    layout->addWidget(text_);
    layout->addWidget(status_);
    layout->addWidget(buttons);
}

QString GridFindDialog::text() const
{
    return text_->text();
}

void GridFindDialog::showNotFound()
{
    status_->setText(QStringLiteral("Не найдено"));
}

} // namespace browser

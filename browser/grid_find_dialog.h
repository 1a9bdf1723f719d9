#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

namespace browser {

// The grid's find dialog: a text searched in the current column from the row after the current one.
class GridFindDialog : public QDialog
{
    Q_OBJECT

public:
    explicit GridFindDialog(QWidget* parent);

    QString text() const;
    // Shows that the last search found nothing.
    void showNotFound();

Q_SIGNALS:
    void findNext(const QString& text);

private:
    QLineEdit* text_;
    QLabel* status_;
};

} // namespace browser

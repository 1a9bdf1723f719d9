#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace platform {
class ClickLabel;
} // namespace platform

namespace app {

// The about box: what the program is for, its version and its terms of distribution. The text is kept
// in the hidden Memo1 and shown, word-wrapped, in Label1 when the box is shown. "OK" and a click on the
// text close the box.
class TfmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TfmAbout(QWidget* parent = nullptr);

    void FormShow();
    void Label1Click();

    QPlainTextEdit* Memo1;
    platform::ClickLabel* Label1;
    QPushButton* Button1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildTextArea();
};

} // namespace app

#pragma once
// The help window: the rules of Vantrick printed on the window's own surface, with a Close
// button that only hides it. One instance serves the whole run.

#include <QPushButton>
#include <QStringList>
#include <QWidget>

class frmHelp : public QWidget {
    Q_OBJECT
  public:
    frmHelp();

    QPushButton* btnClose = nullptr;

    void btnClose_Click();

    // Sizes the text at the table's zoom, smaller if that is what it takes for the window to
    // fit the screen, and keeps the window wholly on the screen.
    void FollowZoom();

  protected:
    void paintEvent(QPaintEvent*) override; // Form_Paint
    void changeEvent(QEvent* e) override;

  private:
    void SizeToText();
    QFont textFont_, buttonFont_; // at zoom 1
};

// The printed text, line by line: for each section a heading standing near the middle, an
// empty line and the body lines (each starting with one blank), sections separated by an
// empty line.
QStringList HelpLines();

// The one help window of the run, created on first use.
frmHelp& HelpForm();
// Shows the help window without making it modal and brings it to the front.
void ShowHelp();
// The help window, if it has been made, follows the table's zoom.
void HelpFollowZoom();

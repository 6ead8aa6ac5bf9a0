#pragma once

#include <QSize>
#include <QWidget>

#include <chrono>
#include <functional>

class QTimer;

namespace sarn {

class PictureControl;
class TextLabel;

// Where popups go: the primary display's full size and the main window's outer height minus its
// client height (its title bar and borders).
struct PopupPlacement {
    std::function<QSize()> screenSize;
    std::function<int()> mainFrameHeight;
};

// The pace of the slides and how long a popup stays; tests shorten them.
struct PopupTiming {
    std::chrono::milliseconds step{10};
    std::chrono::milliseconds wait{5000};
};

// The real primary screen.
QSize PrimaryScreenSize();

// One notification: a frameless, always-on-top 290 x 160 panel at the bottom right of the
// screen that slides up when shown, stays, slides down by its own height and frees itself.
// The slides run nested loops (each step repaints and processes pending events), so a close
// can arrive inside one; the popup then stops sliding and is freed only after its outermost
// slide has returned.
class TFormTips : public QWidget {
    Q_OBJECT

  public:
    TFormTips(PopupPlacement placement, PopupTiming timing);
    ~TFormTips() override;

    // Not modal: shows the popup, brings it to the top, makes it active and slides it in.
    void ShowTips();

    PictureControl* ImageTitle;
    PictureControl* Image2;
    PictureControl* ImageClose1;
    TextLabel* txtBody;
    TextLabel* txtTitle;
    PictureControl* Image1;
    TextLabel* Label1;
    TextLabel* txtTime;
    QTimer* Timer1;

    int Tag = 0;  // the step counter shared by the slide-in and the slide-out
    int DownX = 0;
    int DownY = 0;
    bool Dragging = false;

    bool IsClosed() const { return closed_; }

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormCreate();
    void FormActivate();
    void FormClose();
    void Timer1Timer();
    void ImageClose1Click();
    void ImageTitleMouseDown(Qt::MouseButton button, int x, int y);
    void ImageTitleMouseMove(int x, int y);
    void ImageTitleMouseUp(Qt::MouseButton button);

    void Step();
    void FreeWhenIdle();

    const PopupPlacement placement_;
    const PopupTiming timing_;
    int sliding_ = 0;  // slide loops running on the stack, nested ones included
    bool closed_ = false;
};

// The popup the receive handler is filling; any popup's close clears it. Main thread only.
extern TFormTips* FormTips;

}  // namespace sarn

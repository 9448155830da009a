#pragma once

#include "windowdisplay.h"

// Where no display places and shapes windows (the offscreen platform of the tests): Qt's own
// ways do everything.
class NoDisplay : public WindowDisplay {
  public:
    bool Live() const override { return false; }
    bool Place(QWidget& window, int x, int y, Send when) override;
    bool ShowPicture(QWidget& window, int64_t key, const QImage& picture, double ratio) override;
    bool Outline(QWidget& window, const QRegion& outline, double ratio) override;
    void SetState(QWidget& window, bool above) override;
    void Stack(QWidget& window, Band band) override;
};

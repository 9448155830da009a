#pragma once

#include "platform/controls.h"
#include "platform/window.h"

#include <memory>

class Forms;

// The About box: title, version, the maker's home page and the disclaimer, folded away until
// asked for. "OK" only hides it; its close box unloads it.
class About : public Window {
    Q_OBJECT
  public:
    explicit About(Forms& forms);

    void Form_Load() override;
    void Aclose_Click();
    void Disclaimer_Click();
    void kozurl_Click();

    // The link is red while the mouse is over it; moves over the rest of the box, and the box
    // losing the focus, turn it back. The disclaimer's text changes nothing.
    void kozurl_MouseMove();
    void Form_MouseMove(int16_t Button, int16_t Shift, float X, float Y) override;
    void titlev_MouseMove();
    void Aclose_MouseMove();
    void Disclaimer_MouseMove();
    void Form_Deactivate();

    CommandButton Aclose;
    Label titlev;
    Label kozurl;
    Label Label1;
    CommandButton Disclaimer;
    std::unique_ptr<WebBrowserObject> WebBrowser;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void fitButtons();
    void setClientHeight(float height);
    void linkNormal();

    Forms& m_forms;
};

#pragma once

#include "platform/controls.h"
#include "platform/picture.h"
#include "platform/window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

class Forms;

// The options dialog. It owns the option keys of the settings store: it reads them into its
// controls when it loads and writes them back when it unloads. Its check boxes are the live
// switches the pet reads.
class Form2 : public Window {
    Q_OBJECT
  public:
    explicit Form2(Forms& forms);

    void Form_Load() override;
    void Form_Unload() override;
    void Check2_Click();
    void Check3_Click();
    void Command1_Click();

    // The dialog's icon, which is also the tray icon's picture.
    Picture Icon() const;

    QLabel Label1;
    QLabel Label3;
    QWidget Line1;
    QLineEdit Text1;
    CheckBox Check1;
    CheckBox Check2;
    CheckBox Check3;
    QPushButton Command1;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void layOut();
    std::string stored(const char* key, const std::string& def);
    int16_t storedFlag(const char* key, int16_t def);

    Forms& m_forms;
};

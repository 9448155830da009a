#pragma once

#include "platform/services.h"

#include <memory>
#include <vector>

class Form1;
class FormE;
class Form2;
class splash;
class About;
class popmenus;
class Window;

// Owns the program's windows. Each window has one default instance, made and loaded at its
// first reference and destroyed by Unload; referring to it again loads a new one.
class Forms {
  public:
    explicit Forms(Services& services);
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    Form1& form1();
    FormE& formE();
    Form2& form2();
    splash& splashBanner();
    About& about();
    popmenus& popMenus();

    bool Form1Loaded() const { return m_form1 != nullptr; }
    bool FormELoaded() const { return m_formE != nullptr; }
    bool Form2Loaded() const { return m_form2 != nullptr; }
    bool SplashLoaded() const { return m_splash != nullptr; }
    bool AboutLoaded() const { return m_about != nullptr; }
    bool PopMenusLoaded() const { return m_popmenus != nullptr; }

    // Runs the window's unload handler and destroys it; a window that is not loaded is skipped.
    void Unload(Window* window);
    // Stops the timers of every loaded window: after a failed start nothing may move behind
    // the message that ends the program.
    void StopAllTimers();

    Services& services() { return m_services; }

  private:
    // The windows loaded now.
    std::vector<Window*> loaded() const;
    static void stopTimers(Window* window);
    template <class T> T& load(std::unique_ptr<T>& slot);
    template <class T> bool unloadIf(std::unique_ptr<T>& slot, Window* window);

    Services& m_services;
    std::unique_ptr<Form1> m_form1;
    std::unique_ptr<FormE> m_formE;
    std::unique_ptr<Form2> m_form2;
    std::unique_ptr<splash> m_splash;
    std::unique_ptr<About> m_about;
    std::unique_ptr<popmenus> m_popmenus;
};

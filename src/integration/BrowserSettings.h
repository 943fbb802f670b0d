#pragma once

#include <array>
#include <string>

// What opening a URL depends on. The application fills it from its settings members
// ("BrowserChoice", "Browser1".."Browser3", "NewWindow") and from the registered
// browser command it looked up at start-up.
struct CBrowserSettings
{
    enum : int { Default = 0, InternetExplorer = 1, Netscape = 2, Opera = 3 };

    int m_nBrowserChoice = Default;          // any other value behaves as Default
    std::array<std::string, 3> m_strBrowser; // program files of the three browsers
    bool m_bNewWindow = false;               // what double-click and Enter ask for
    std::string m_strDefaultBrowserCmd;      // command template; may hold "%1"
};

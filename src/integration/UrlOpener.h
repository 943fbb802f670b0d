#pragma once

#include "BrowserSettings.h"

#include <cstdint>
#include <string>
#include <string_view>

class CProgramStarter;

// Hands one URL to a browser: into a running one through DDE (topic WWW_OpenURL) or by
// starting a browser program, falling back step by step to the registered browser
// command. Nothing is reported to the user; every conversation is quiet and ends
// before OpenUrl returns.
class CUrlOpener
{
public:
    static constexpr const char* kTopic = "WWW_OpenURL";
    // The seven fields of a WWW_OpenURL request: URL, save-as file, window 0xFFFFFFFF,
    // flags 0x3, form data, MIME type, progress server.
    static constexpr const char* kRequestItemFormat = "%s,,0xFFFFFFFF,0x3,,,";

    // Programs are started through `starter` (the detached starter when null).
    explicit CUrlOpener(CProgramStarter* starter = nullptr);

    // The time-out of each DDE call (60000 ms unless changed).
    void SetDdeTimeout(uint32_t milliseconds) { m_ddeTimeout = milliseconds; }

    // `url` is the bookmark's URL exactly as stored; `newWindow` asks for a new browser
    // window, which skips the DDE ways. A URL that reads as an option goes nowhere.
    void OpenUrl(const CBrowserSettings& settings, const std::string& url, bool newWindow) const;

    // The request item sent to Netscape for a URL.
    static std::string NetscapeRequestItem(const std::string& url);

private:
    bool ExecuteByDde(const char* service, const std::string& url) const;
    bool RequestByNetscapeDde(const std::string& url) const;
    void LaunchBrowserProgram(const CBrowserSettings& settings, int browser, const std::string& url,
                              bool newWindow) const;
    void OpenWithDefault(const CBrowserSettings& settings, const std::string& url,
                         bool newWindow) const;

    CProgramStarter& m_starter;
    uint32_t m_ddeTimeout;
};

// True for a URL that a program would take for an option (it begins with '-', after
// any blanks). No address begins so; such a URL is never handed to a program, by any
// of the ways above, since for some browsers an option runs a command.
bool UrlReadsAsOption(std::string_view url);

// Starts the command template with the URL: when the template holds "%1" after its
// first character, each "%1" in an argument is replaced by the URL inside that
// argument (inserts in the program name expand to nothing); otherwise the URL is
// added as the last argument. The URL is always exactly one argument (or
// part of one), whatever it contains, and no shell is involved. False when the
// template is empty or the URL reads as an option (nothing is started then); whether
// the program started is not reported.
bool LaunchCommandWithUrl(const std::string& commandTemplate, const std::string& url,
                          CProgramStarter* starter = nullptr);

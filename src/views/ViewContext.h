#pragma once

#include <QString>

#include <functional>
#include <string>

class CProfile;

// The settings the panes read while they live. The application owns them, and its
// preferences change them while the panes are shown.
struct CViewSettings
{
    int listStyle = 0;            // the list's display style, given back when it goes
    bool keepWndSize = false;     // column widths are read back from the profile
    bool newWindow = false;       // opening a row asks for a new browser window
    CProfile* profile = nullptr;  // where the column widths are kept; null keeps none
};

// What the panes get from the program around them when they are made; they reach
// nothing above them otherwise. What they ask of the window leaves as signals.
struct CViewContext
{
    CViewSettings* settings = nullptr; // null: the defaults, nothing kept
    // Opens a bookmark's URL in the browser.
    std::function<void(const std::string& url, bool newWindow)> openUrl;
    // Opens a collection file dropped on a pane.
    std::function<void(const QString& path)> openDocument;
};

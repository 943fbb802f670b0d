#pragma once

#include <QString>

#include <vector>

// The browser profiles on this machine whose bookmarks Kiv can read: Firefox and its
// forks (profiles.ini), and the Chromium family (every profile folder holding a
// "Bookmarks" file), in the native, Snap and Flatpak locations.
struct CBrowserProfile
{
    enum Family { firefox, chromium };
    Family family = firefox;
    QString browser;        // "Firefox", "Chromium (Flatpak)", "Google Chrome" ...
    QString name;           // the profile's name as the browser lists it
    QString dir;            // the profile folder
    QString file;           // places.sqlite or Bookmarks
    bool isDefault = false; // the profile the browser starts with
};

// Where to look: the home folder and the XDG configuration folder (tests point both
// into a temporary folder).
struct CProfileRoots
{
    QString home;
    QString configHome;
    // From $HOME and $XDG_CONFIG_HOME (default ~/.config).
    static CProfileRoots FromEnvironment();
};

// The profiles of one family, browser by browser in a fixed order, each browser's
// default profile first.
std::vector<CBrowserProfile> FindBrowserProfiles(CBrowserProfile::Family family,
                                                 const CProfileRoots& roots);
// Both families, Firefox first.
std::vector<CBrowserProfile> FindBrowserProfiles(const CProfileRoots& roots);

// The number of bookmarks the profile holds, or -1 when it cannot be read.
long long CountProfileBookmarks(const CBrowserProfile& profile);

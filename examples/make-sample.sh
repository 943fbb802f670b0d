#!/usr/bin/env bash
# Makes examples/sample.kiv, a small collection, with kivtool.
# Usage: examples/make-sample.sh [KIVTOOL] [OUT]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
kivtool=${1:-$top/build/bin/kivtool}
out=${2:-$top/examples/sample.kiv}
rm -f "$out"
add() { "$kivtool" add "$out" "$@"; }

add https://www.debian.org/ "Debian" --folder "Linux" --comment "The universal operating system"
add https://wiki.debian.org/ "Debian Wiki" --folder "Linux"
add https://kernel.org/ "The Linux Kernel Archives" --folder "Linux/Kernel"
add https://lwn.net/ "LWN.net" --folder "News" --comment "Weekly edition on Thursdays"
add https://lwn.net/ "LWN.net" --folder "Linux/Kernel"
add https://news.ycombinator.com/ "Hacker News" --folder "News"
add https://doc.qt.io/qt-6/ "Qt 6 Documentation" --folder "Development/C++"
add https://en.cppreference.com/ "cppreference.com" --folder "Development/C++" --comment "C++ reference"
add https://cmake.org/cmake/help/latest/ "CMake Reference" --folder "Development/Build"
add https://google.github.io/googletest/ "GoogleTest User's Guide" --folder "Development/Testing"
add https://www.openstreetmap.org/ "OpenStreetMap" --folder "Maps"
add https://www.wikipedia.org/ "Wikipedia"
add https://www.gutenberg.org/ "Project Gutenberg" --comment "Free e-books"
add https://www.mozilla.org/ "Mozilla — Firefox" --folder "Browsers"
add https://www.opera.com/ "Opera" --folder "Browsers"
add https://es.wikipedia.org/ "Wikipedia en español" --folder "Idiomas/Español"
add https://fr.wikipedia.org/ "Wikipédia en français" --folder "Idiomas/Français"
add https://de.wikipedia.org/ "Wikipedia auf Deutsch" --folder "Idiomas/Deutsch"
# The same pages spelt differently, for the duplicate search.
add http://debian.org "Debian (old link)" --folder "News"
add "https://www.wikipedia.org/?utm_source=newsletter#top" "Wikipedia (newsletter)" --folder "Idiomas"

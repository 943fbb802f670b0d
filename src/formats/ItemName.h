#pragma once

#include <string>
#include <string_view>

namespace KivItem {

// A display name made from a URL: the part between its first and second dot with
// the first letter raised; "Nuevo" (string 16002) when there is none. The item dialog
// offers it for a new bookmark, and the readers give it to bookmarks a file leaves
// unnamed.
std::string NameFromUrl(std::string_view url);

} // namespace KivItem

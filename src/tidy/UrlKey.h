#pragma once

#include <string>
#include <string_view>

// How loosely two URLs may differ and still name one page.
struct UrlKeyOptions
{
    bool httpIsHttps = true; // http://x and https://x are one page
    bool wwwIsBare = true;   // www.x and x are one host
};

// A grouping key for a URL: scheme and host case-folded, default ports and the
// fragment dropped (a route such as "#/inbox" kept), an empty path as "/", tracking
// parameters dropped, percent-encoding in one form, international hosts in their
// ASCII form. Only for comparing: a stored
// URL is never replaced by its key.
std::string UrlKey(std::string_view url, const UrlKeyOptions& options = {});

// Query parameters that only tell a site where a visitor came from.
bool IsTrackingParameter(std::string_view name);

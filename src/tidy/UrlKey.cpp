#include "UrlKey.h"

#include <QUrl>

#include <array>

namespace {

// Parameters added by newsletters, ad networks and social sites. Names ending in '*'
// match as prefixes.
constexpr std::array<std::string_view, 22> kTrackingParameters = {
    "utm_*",      "fbclid",  "gclid",     "dclid",     "gbraid", "wbraid", "msclkid", "mc_eid",
    "mc_cid",     "yclid",   "igshid",    "twclid",    "_hsenc", "_hsmi",  "mkt_tok", "oly_anon_id",
    "oly_enc_id", "vero_id", "vero_conv", "_openstat", "__s",    "ttclid",
};

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = Lower(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool Unreserved(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-'
           || c == '.' || c == '_' || c == '~';
}

// Appends text with percent-encoding in one form: escapes of unreserved characters
// decoded, other escapes in upper case, raw bytes outside ASCII and spaces escaped.
void AppendNormalised(std::string& out, std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (size_t k = 0; k < text.size(); ++k) {
        const unsigned char c = static_cast<unsigned char>(text[k]);
        if (c == '%' && k + 2 < text.size()) {
            const int hi = HexValue(text[k + 1]);
            const int lo = HexValue(text[k + 2]);
            if (hi >= 0 && lo >= 0) {
                const unsigned char decoded = static_cast<unsigned char>(hi * 16 + lo);
                if (Unreserved(decoded)) {
                    out += char(decoded);
                } else {
                    out += '%';
                    out += kHex[hi];
                    out += kHex[lo];
                }
                k += 2;
                continue;
            }
        }
        if (c >= 0x80 || c <= 0x20 || c == 0x7F) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += char(c);
        }
    }
}

bool IsSchemeChar(char c, bool first)
{
    const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (first)
        return alpha;
    return alpha || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

std::string_view DefaultPort(std::string_view scheme)
{
    if (scheme == "http" || scheme == "ws")
        return "80";
    if (scheme == "https" || scheme == "wss")
        return "443";
    if (scheme == "ftp")
        return "21";
    return {};
}

void AppendHost(std::string& out, std::string_view host, const UrlKeyOptions& options)
{
    bool ascii = true;
    for (char c : host)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    QByteArray ace;
    if (!ascii) {
        // One form for international names: the ASCII-compatible one.
        ace = QUrl::toAce(QString::fromUtf8(host.data(), qsizetype(host.size())));
        if (!ace.isEmpty())
            host = std::string_view(ace.constData(), size_t(ace.size()));
    }
    if (host.size() > 1 && host.back() == '.')
        host.remove_suffix(1);
    if (options.wwwIsBare && host.size() > 4 && Lower(host[0]) == 'w' && Lower(host[1]) == 'w'
        && Lower(host[2]) == 'w' && host[3] == '.')
        host.remove_prefix(4);
    for (char c : host)
        out += Lower(c);
}

void AppendQuery(std::string& out, std::string_view query)
{
    bool first = true;
    while (!query.empty()) {
        const size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty())
            continue;
        if (IsTrackingParameter(pair.substr(0, pair.find('='))))
            continue;
        out += first ? '?' : '&';
        first = false;
        AppendNormalised(out, pair);
    }
}

} // namespace

bool IsTrackingParameter(std::string_view name)
{
    for (std::string_view p : kTrackingParameters) {
        if (p.back() == '*') {
            p.remove_suffix(1);
            if (name.size() > p.size() && name.substr(0, p.size()) == p)
                return true;
        } else if (name == p) {
            return true;
        }
    }
    return false;
}

std::string UrlKey(std::string_view url, const UrlKeyOptions& options)
{
    while (!url.empty() && static_cast<unsigned char>(url.front()) <= ' ')
        url.remove_prefix(1);
    while (!url.empty() && static_cast<unsigned char>(url.back()) <= ' ')
        url.remove_suffix(1);

    std::string out;
    out.reserve(url.size() + 1);
    size_t colon = 0;
    while (colon < url.size() && IsSchemeChar(url[colon], colon == 0))
        ++colon;
    if (colon == 0 || colon >= url.size() || url[colon] != ':') {
        // Not an absolute URL: compared as it is written, without its fragment.
        AppendNormalised(out, url.substr(0, url.find('#')));
        return out;
    }
    std::string scheme(url.substr(0, colon));
    for (char& c : scheme)
        c = Lower(c);
    std::string_view rest = url.substr(colon + 1);
    // A fragment that is a route ("#/inbox", "#!/settings") names another page of a
    // web application; any other fragment is a place within the same page.
    std::string_view route;
    if (const size_t hash = rest.find('#'); hash != std::string_view::npos) {
        if (hash + 1 < rest.size() && (rest[hash + 1] == '/' || rest[hash + 1] == '!'))
            route = rest.substr(hash);
        rest = rest.substr(0, hash);
    }
    const std::string_view defaultPort = DefaultPort(scheme);
    if (options.httpIsHttps && scheme == "https")
        scheme = "http";
    out += scheme;
    out += ':';

    std::string_view pathAndQuery = rest;
    const bool hierarchical = rest.size() >= 2 && rest[0] == '/' && rest[1] == '/';
    if (hierarchical) {
        rest.remove_prefix(2);
        const size_t end = rest.find_first_of("/?");
        std::string_view authority = rest.substr(0, end);
        pathAndQuery = end == std::string_view::npos ? std::string_view() : rest.substr(end);
        out += "//";
        const size_t at = authority.rfind('@');
        if (at != std::string_view::npos) {
            AppendNormalised(out, authority.substr(0, at + 1));
            authority.remove_prefix(at + 1);
        }
        // The port follows the last colon outside an IPv6 literal's brackets.
        std::string_view host = authority;
        std::string_view port;
        const size_t portColon = authority.rfind(':');
        if (portColon != std::string_view::npos
            && authority.find(']', portColon) == std::string_view::npos) {
            host = authority.substr(0, portColon);
            port = authority.substr(portColon + 1);
            while (port.size() > 1 && port.front() == '0')
                port.remove_prefix(1);
        }
        AppendHost(out, host, options);
        if (!port.empty() && port != defaultPort) {
            out += ':';
            out += port;
        }
        if (pathAndQuery.empty() || pathAndQuery.front() == '?')
            out += '/';
    }
    const size_t q = pathAndQuery.find('?');
    AppendNormalised(out, pathAndQuery.substr(0, q));
    if (q != std::string_view::npos)
        AppendQuery(out, pathAndQuery.substr(q + 1));
    AppendNormalised(out, route);
    return out;
}

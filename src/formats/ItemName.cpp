#include "ItemName.h"

#include "framework/TextRules.h"
#include "res/Strings.h"

#include <QString>

namespace KivItem {

std::string NameFromUrl(std::string_view url)
{
    const std::string_view head = KivText::TruncateUtf8(url, 255);
    std::string name;
    const size_t dot = head.find('.');
    if (dot != std::string_view::npos && dot != 0) {
        const std::string_view rest = head.substr(dot + 1);
        name = std::string(rest.substr(0, rest.find('.')));
    }
    if (name.empty())
        return KivStrings::Load(IDS_NEW).toStdString();
    // Raise the first character, whatever its byte length; the rest keeps its bytes
    // (a conversion of the whole would drop a leading U+FEFF and leave nothing).
    size_t firstLen = 1;
    while (firstLen < name.size() && (static_cast<unsigned char>(name[firstLen]) & 0xC0) == 0x80)
        ++firstLen;
    const std::string upper
        = QString::fromUtf8(name.data(), qsizetype(firstLen)).toUpper().toStdString();
    if (!upper.empty())
        name.replace(0, firstLen, upper);
    return name;
}

} // namespace KivItem

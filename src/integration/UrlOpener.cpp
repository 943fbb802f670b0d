#include "UrlOpener.h"

#include "CommandLine.h"
#include "DdeClient.h"
#include "IntegrationLog.h"
#include "ProgramStarter.h"

#include <QFileInfo>

namespace {

QStringList ToQStringList(std::vector<std::string>::const_iterator first,
                          std::vector<std::string>::const_iterator last)
{
    QStringList list;
    for (; first != last; ++first)
        list << QString::fromStdString(*first);
    return list;
}

} // namespace

CUrlOpener::CUrlOpener(CProgramStarter* starter)
    : m_starter(starter ? *starter : DefaultProgramStarter())
    , m_ddeTimeout(CDdeClient::kDefaultTimeout)
{}

std::string CUrlOpener::NetscapeRequestItem(const std::string& url)
{
    const std::string_view format = kRequestItemFormat;
    const size_t at = format.find("%s");
    return std::string(format.substr(0, at)) + url + std::string(format.substr(at + 2));
}

bool CUrlOpener::ExecuteByDde(const char* service, const std::string& url) const
{
    CDdeClient dde(service, kTopic, true, m_ddeTimeout);
    if (!dde.IsConnected()) {
        dde.Close();
        return false;
    }
    // Once the conversation exists the URL counts as handed over, whatever the answer.
    dde.Execute(url);
    dde.Close();
    return true;
}

bool CUrlOpener::RequestByNetscapeDde(const std::string& url) const
{
    CDdeClient dde("Netscape", kTopic, true, m_ddeTimeout);
    if (!dde.IsConnected()) {
        dde.Close();
        return false;
    }
    dde.Request(NetscapeRequestItem(url)); // the reply is of no interest
    dde.Close();
    return true;
}

void CUrlOpener::LaunchBrowserProgram(const CBrowserSettings& settings, int browser,
                                      const std::string& url, bool newWindow) const
{
    const std::string& path = settings.m_strBrowser[static_cast<size_t>(browser - 1)];
    if (!path.empty() && QFileInfo::exists(QString::fromStdString(path))) {
        // The program and the URL as its one argument.
        m_starter.Start(QString::fromStdString(path), {QString::fromStdString(url)});
        return;
    }
    OpenWithDefault(settings, url, newWindow);
}

void CUrlOpener::OpenWithDefault(const CBrowserSettings& settings, const std::string& url,
                                 bool newWindow) const
{
    if (!newWindow && (ExecuteByDde("iexplore", url) || RequestByNetscapeDde(url)))
        return;
    LaunchCommandWithUrl(settings.m_strDefaultBrowserCmd, url, &m_starter);
}

void CUrlOpener::OpenUrl(const CBrowserSettings& settings, const std::string& url,
                         bool newWindow) const
{
    if (UrlReadsAsOption(url)) {
        qCInfo(lcIntegration) << "not opened, reads as an option:" << QString::fromStdString(url);
        return;
    }
    switch (settings.m_nBrowserChoice) {
    case CBrowserSettings::InternetExplorer:
    case CBrowserSettings::Opera: {
        const bool opera = settings.m_nBrowserChoice == CBrowserSettings::Opera;
        if (!newWindow && ExecuteByDde(opera ? "Opera" : "iexplore", url))
            return;
        LaunchBrowserProgram(settings, settings.m_nBrowserChoice, url, newWindow);
        return;
    }
    case CBrowserSettings::Netscape:
        if (!newWindow && RequestByNetscapeDde(url))
            return;
        LaunchBrowserProgram(settings, CBrowserSettings::Netscape, url, newWindow);
        return;
    default:
        OpenWithDefault(settings, url, newWindow);
        return;
    }
}

bool UrlReadsAsOption(std::string_view url)
{
    const size_t first = url.find_first_not_of(" \t\r\n\f\v");
    return first != std::string_view::npos && url[first] == '-';
}

bool LaunchCommandWithUrl(const std::string& commandTemplate, const std::string& url,
                          CProgramStarter* starter)
{
    if (commandTemplate.empty() || UrlReadsAsOption(url))
        return false;
    // Split first, then insert: the URL can never add, remove or re-quote arguments.
    std::vector<std::string> args = KivCommandLine::Split(commandTemplate);
    if (args.empty() || args.front().empty()) {
        // Never let the URL become the program.
        qCInfo(lcIntegration) << "browser command has no program:"
                              << QString::fromStdString(commandTemplate);
        return true;
    }
    if (commandTemplate.find("%1", 1) != std::string::npos) {
        for (size_t i = 0; i < args.size(); ++i) {
            std::string expanded;
            // The URL never becomes (part of) the program name. No length limit
            // here: a cut URL would open the wrong page.
            KivCommandLine::ExpandInserts(expanded, args[i],
                                          i == 0 ? std::vector<std::string_view>{}
                                                 : std::vector<std::string_view>{url},
                                          std::string::npos);
            args[i] = std::move(expanded);
        }
    } else {
        args.push_back(url);
    }
    if (args.front().empty())
        return true; // the program was nothing but inserts that expanded to nothing
    CProgramStarter& start = starter ? *starter : DefaultProgramStarter();
    start.Start(QString::fromStdString(args.front()), ToQStringList(args.begin() + 1, args.end()));
    return true;
}

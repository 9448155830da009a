#include "fakes.h"

#include <algorithm>

std::string FakeFiles::Normal(const std::string& path) {
    std::string p = path;
    std::replace(p.begin(), p.end(), '\\', '/');
    std::string out;
    for (char c : p)
        if (!(c == '/' && !out.empty() && out.back() == '/')) out.push_back(c);
    return out;
}

bool FakeFiles::Exists(const std::string& path) {
    lookedUp.push_back(path);
    if (failingLookups.count(path)) throw RuntimeError(52, "Bad file name or number");
    return files.count(Normal(path)) != 0;
}

void FakeFiles::Kill(const std::string& path) {
    if (files.erase(Normal(path)) == 0)
        throw RuntimeError(errnum::FileNotFound, "File not found: " + path);
}

void FakeFiles::WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (failWrites) throw RuntimeError(errnum::PathFileAccess, "Path/File access error: " + path);
    files[Normal(path)] = bytes;
}

std::vector<std::string> FakeFiles::ReadLines(const std::string& path) {
    const auto it = files.find(Normal(path));
    if (it == files.end()) throw RuntimeError(errnum::FileNotFound, "File not found: " + path);
    std::vector<std::string> lines;
    std::string line;
    const auto& data = it->second;
    for (size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '\r') {
            lines.push_back(line);
            line.clear();
            if (i + 1 < data.size() && data[i + 1] == '\n') ++i;
        } else {
            line.push_back(static_cast<char>(data[i]));
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

void FakeFiles::AddWaves(const std::string& folder) {
    for (const char* w :
         {"say1", "say2", "say3", "say4", "pain1", "pain2", "pain3", "pain4", "laugh"})
        files[Normal(folder + "/cdata/" + w + ".wav")] = {'R', 'I', 'F', 'F'};
}

std::string FakeSettings::GetSetting(const std::string& app, const std::string& section,
                                     const std::string& key, const std::string& def) {
    if (!failReads.empty()) throw RuntimeError(errnum::PathFileAccess, failReads);
    const auto it = values.find(app + "/" + section + "/" + key);
    return it == values.end() ? def : it->second;
}

void FakeSettings::SaveSetting(const std::string& app, const std::string& section,
                               const std::string& key, const std::string& value) {
    if (!failSaves.empty()) throw RuntimeError(errnum::PathFileAccess, failSaves);
    values[app + "/" + section + "/" + key] = value;
    saved.push_back(key);
    if (journal) journal->push_back("save " + key);
}

void FakeMultimedia::Command(const std::string& command) {
    if (command == "Open") {
        commands.push_back("Open " + fileName);
        length = lengthOnOpen;
        position = 0;
    } else if (command == "Play") {
        commands.push_back("Play");
        played.push_back(fileName);
    } else if (command == "Close") {
        commands.push_back("Close");
        if (journal) journal->push_back("sound Close");
        length = 0;
        position = 0;
    }
}

namespace {
class FakeBrowser : public WebBrowserObject {
  public:
    explicit FakeBrowser(FakeWebBrowserFactory& f) : m_factory(f) {}
    void SetVisible(bool) override {}
    void Navigate(const std::string& url) override {
        if (m_factory.failNavigateWith)
            throw RuntimeError(m_factory.failNavigateWith, "The browser could not open " + url);
        m_factory.navigated.push_back(url);
    }

  private:
    FakeWebBrowserFactory& m_factory;
};
} // namespace

std::unique_ptr<WebBrowserObject> FakeWebBrowserFactory::CreateInternetExplorer() {
    if (failCreateWith) throw RuntimeError(failCreateWith, "ActiveX component can't create object");
    ++created;
    return std::make_unique<FakeBrowser>(*this);
}

FakePlatform::FakePlatform()
    : services{runtime, clock, random,  files, settings, msgbox,
               sound,   inet,  browser, tray,  stacking, display} {
    files.AddWaves(runtime.appPath);
}

#include "inifile.h"

#include <cctype>

namespace ini {

namespace {
constexpr size_t npos = std::string_view::npos;

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

std::string escape(std::string_view s, bool name) {
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        const bool starts = i == 0 && (c == ';' || c == '#');
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\0')
            out += "\\0";
        else if (name && (c == '=' || c == '[' || c == ']' || starts || c == ' ')) {
            out += "\\x";
            out += hex[static_cast<unsigned char>(c) >> 4];
            out += hex[static_cast<unsigned char>(c) & 15];
        } else
            out += c;
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return lower(c) - 'a' + 10;
}

std::string unescape(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char e = s[++i];
        if (e == 'n')
            out += '\n';
        else if (e == 'r')
            out += '\r';
        else if (e == '0')
            out += '\0';
        else if (e == 'x' && i + 2 < s.size() &&
                 std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
                 std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += static_cast<char>(hexDigit(s[i + 1]) * 16 + hexDigit(s[i + 2]));
            i += 2;
        } else if (e == '\\')
            out += '\\';
        else {
            out += '\\';
            out += e;
        }
    }
    return out;
}

// A name as written in the file against the name asked for; most names hold no escape and are
// compared where they lie.
bool nameIs(std::string_view written, std::string_view wanted) {
    if (written.find('\\') == npos) return sameName(written, wanted);
    return sameName(unescape(written), wanted);
}

std::string_view trimmed(std::string_view s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

struct Line {
    size_t begin, end; // the line without its end mark
    size_t next;       // where the next line begins
    enum Kind { Other, Section, Key } kind;
    std::string_view name, value;
};

// Calls `visit` with each line of the text, classified.
template <class Visit> void forEachLine(std::string_view text, Visit visit) {
    // A file saved by a Windows editor may start with a byte-order mark.
    size_t at = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (at < text.size()) {
        const size_t mark = text.find('\n', at);
        Line line{at,
                  mark == npos ? text.size() : mark,
                  mark == npos ? text.size() : mark + 1,
                  Line::Other,
                  {},
                  {}};
        if (line.end > at && text[line.end - 1] == '\r') --line.end;
        const std::string_view raw = text.substr(at, line.end - at);
        const std::string_view t = trimmed(raw);
        if (t.empty() || t[0] == ';' || t[0] == '#') {
        } else if (t.front() == '[' && t.back() == ']') {
            line.kind = Line::Section;
            line.name = trimmed(t.substr(1, t.size() - 2));
        } else if (const size_t eq = raw.find('='); eq != npos) {
            // The value is taken as it stands after the "=": spaces there are part of it.
            line.kind = Line::Key;
            line.name = trimmed(raw.substr(0, eq));
            line.value = raw.substr(eq + 1);
        }
        visit(line);
        at = line.next;
    }
}
} // namespace

std::optional<std::string> find(std::string_view text, std::string_view section,
                                std::string_view key) {
    bool inSection = false, found = false;
    std::string_view value;
    forEachLine(text, [&](const Line& line) {
        if (line.kind == Line::Section)
            inSection = nameIs(line.name, section);
        else if (line.kind == Line::Key && inSection && nameIs(line.name, key)) {
            value = line.value;
            found = true;
        }
    });
    if (!found) return std::nullopt;
    return unescape(value);
}

std::vector<std::string_view> Edit::pieces(std::string_view text) const {
    std::vector<std::string_view> out;
    for (const Part& p : parts)
        out.push_back(p.from > p.to ? std::string_view(added) : text.substr(p.from, p.to - p.from));
    return out;
}

Edit withValue(std::string_view text, std::string_view section, std::string_view key,
               std::string_view value) {
    // New lines end as the file's first line does.
    const size_t firstMark = text.find('\n');
    const std::string_view eol =
        firstMark != npos && firstMark > 0 && text[firstMark - 1] == '\r' ? "\r\n" : "\n";
    const bool endsWithMark = !text.empty() && text.back() == '\n';
    const std::string keyLine = escape(key, true) + '=' + escape(value, false);

    // The lines that hold the key, and the end of the section's last key line (or of its
    // heading) where it first appears.
    std::vector<Line> holders;
    size_t insertAt = npos;
    bool inSection = false, inFirst = false;
    forEachLine(text, [&](const Line& line) {
        if (line.kind == Line::Section) {
            inSection = nameIs(line.name, section);
            inFirst = inSection && insertAt == npos;
            if (inFirst) insertAt = line.next;
        } else if (line.kind == Line::Key && inSection) {
            if (nameIs(line.name, key)) holders.push_back(line);
            if (inFirst) insertAt = line.next;
        }
    });

    Edit edit;
    const auto keep = [&](size_t from, size_t to) {
        if (from < to) edit.parts.push_back({from, to});
    };
    const auto add = [&] { edit.parts.push_back({1, 0}); };
    if (!holders.empty()) {
        keep(0, holders[0].begin);
        add();
        edit.added = keyLine;
        size_t from = holders[0].end;
        for (size_t i = 1; i < holders.size(); ++i) {
            keep(from, holders[i].begin);
            from = holders[i].next;
        }
        keep(from, text.size());
    } else if (insertAt != npos) {
        const bool marked = insertAt > 0 && text[insertAt - 1] == '\n';
        keep(0, insertAt);
        add();
        edit.added = std::string(marked ? "" : eol) + keyLine + std::string(eol);
        keep(insertAt, text.size());
    } else {
        keep(0, text.size());
        add();
        if (!text.empty()) edit.added = std::string(endsWithMark ? "" : eol) + std::string(eol);
        edit.added +=
            '[' + escape(section, true) + ']' + std::string(eol) + keyLine + std::string(eol);
    }
    return edit;
}

} // namespace ini

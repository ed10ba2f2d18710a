#include "app/core/settingstext.h"

#include <QByteArray>
#include <QDataStream>

namespace SettingsText {
namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isHexDigit(QChar c)
{
    const ushort u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

int hexValue(QChar c)
{
    const ushort u = c.unicode();
    return u <= '9' ? u - '0' : (u | 0x20) - 'a' + 10;
}

// One line scanned as the toolkit scans it: where its content ends (a ';' outside quotes starts a
// comment), its first '=' outside quotes, and whether it ends inside quotes or with a lone backslash.
struct Scan
{
    int end = 0;
    int equals = -1;
    bool cutOff = false;
};

Scan scanLine(QStringView line)
{
    Scan scan;
    bool inQuotes = false;
    int i = 0;
    while (i < line.size()) {
        const QChar c = line.at(i++);
        if (c == QLatin1Char('=')) {
            if (!inQuotes && scan.equals < 0)
                scan.equals = i - 1;
        } else if (c == QLatin1Char('\\')) {
            if (i == line.size())
                scan.cutOff = true;
            ++i; // the escaped character is no quote, ';' or '='
        } else if (c == QLatin1Char('"')) {
            inQuotes = !inQuotes;
        } else if (c == QLatin1Char(';') && !inQuotes) {
            scan.end = i - 1;
            return scan;
        }
    }
    scan.end = line.size();
    scan.cutOff = scan.cutOff || inQuotes;
    return scan;
}

// The toolkit's key escapes: "\" for "/", "%XX" and "%UXXXX" for other characters.
QString unescapeKey(QStringView key)
{
    QString result;
    for (int i = 0; i < key.size();) {
        const QChar c = key.at(i);
        if (c == QLatin1Char('\\')) {
            result += QLatin1Char('/');
            ++i;
            continue;
        }
        if (c != QLatin1Char('%') || i == key.size() - 1) {
            result += c;
            ++i;
            continue;
        }
        const int first = key.at(i + 1) == QLatin1Char('U') ? i + 2 : i + 1;
        const int digits = first == i + 2 ? 4 : 2;
        bool ok = false;
        const uint code = first + digits <= key.size() ? key.mid(first, digits).toString().toUInt(&ok, 16) : 0;
        if (!ok) {
            result += QLatin1Char('%');
            ++i;
            continue;
        }
        result += QChar(ushort(code));
        i = first + digits;
    }
    return result;
}

// The toolkit's value escapes (\a \b \f \n \r \t \v \" \? \' \\, \x with any number of hexadecimal
// digits, \ with octal digits; any other escaped character is dropped), its quotes, and its trimming:
// blanks around an unquoted value go, blanks that an escape or a closing quote precedes stay.
QString unescapeValue(QStringView s)
{
    static const char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
                                       {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    QString result;
    bool inQuotes = false;
    bool quoted = false;
    bool trim = true;
    int i = 0;
    const auto skipBlanks = [&] {
        while (i < s.size() && isBlank(s.at(i)))
            ++i;
    };
    skipBlanks();
    int keep = 0; // trimming stops here
    while (i < s.size()) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('"')) {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
                keep = result.size();
            }
            continue;
        }
        if (c != QLatin1Char('\\')) {
            int j = i + 1;
            while (j < s.size() && s.at(j) != QLatin1Char('\\') && s.at(j) != QLatin1Char('"'))
                ++j;
            result += s.mid(i, j - i);
            i = j;
            continue;
        }
        if (++i == s.size()) {
            trim = false;
            break;
        }
        const QChar e = s.at(i++);
        bool simple = false;
        for (const auto& escape : kEscapes) {
            if (e == QLatin1Char(escape[0])) {
                result += QLatin1Char(escape[1]);
                simple = true;
                break;
            }
        }
        if (!simple && e == QLatin1Char('x') && i < s.size() && isHexDigit(s.at(i))) {
            uint code = 0;
            while (i < s.size() && isHexDigit(s.at(i)))
                code = (code << 4) + uint(hexValue(s.at(i++)));
            result += QChar(ushort(code & 0xFFFF));
        } else if (!simple && e.unicode() >= '0' && e.unicode() <= '7') {
            uint code = e.unicode() - '0';
            while (i < s.size() && s.at(i).unicode() >= '0' && s.at(i).unicode() <= '7')
                code = (code << 3) + (s.at(i++).unicode() - '0');
            result += QChar(ushort(code & 0xFFFF));
        } else if (!simple && e == QLatin1Char('x') && i == s.size()) {
            trim = false;
        }
        keep = result.size();
    }
    if (!quoted && trim) {
        int n = result.size();
        while (n > keep && isBlank(result.at(n - 1)))
            --n;
        result.truncate(n);
    }
    return result;
}

// The "@" forms the toolkit writes: "@@" for a text beginning with "@", "@String(...)" for one
// holding a NUL, "@ByteArray(...)", "@Variant(...)" and "@Invalid()"; geometry has no setting.
QVariant storedValue(const QString& s)
{
    if (!s.startsWith(QLatin1Char('@')))
        return s;
    if (s.endsWith(QLatin1Char(')'))) {
        if (s.startsWith(QLatin1String("@ByteArray(")))
            return QByteArray(s.midRef(11, s.size() - 12).toLatin1());
        if (s.startsWith(QLatin1String("@String(")))
            return s.mid(8, s.size() - 9);
        const bool dateTime = s.startsWith(QLatin1String("@DateTime("));
        if (dateTime || s.startsWith(QLatin1String("@Variant("))) {
            QByteArray bytes = s.midRef(dateTime ? 10 : 9).toLatin1();
            QDataStream stream(&bytes, QIODevice::ReadOnly);
            stream.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
            QVariant value;
            stream >> value;
            return value;
        }
        if (s == QLatin1String("@Invalid()") || s.startsWith(QLatin1String("@Rect(")) ||
            s.startsWith(QLatin1String("@Size(")) || s.startsWith(QLatin1String("@Point(")))
            return QVariant();
    }
    return s.startsWith(QLatin1String("@@")) ? s.mid(1) : s;
}

} // namespace

Values parse(const QString& text)
{
    Values read;
    QString section;
    const QStringView all(text);
    for (int start = 0; start < all.size();) {
        int end = start;
        while (end < all.size() && all.at(end) != QLatin1Char('\n') && all.at(end) != QLatin1Char('\r'))
            ++end;
        QStringView line = all.mid(start, end - start);
        start = end + 1;
        while (!line.isEmpty() && isBlank(line.front()))
            line = line.mid(1);
        if (line.isEmpty() || line.front() == QLatin1Char(';'))
            continue;
        const Scan scan = scanLine(line);
        line = line.left(scan.end);
        if (line.front() == QLatin1Char('[')) {
            const int close = int(line.indexOf(QLatin1Char(']')));
            if (close < 0 || scan.cutOff)
                ++read.malformedLines;
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).toString().trimmed();
            if (name.compare(QLatin1String("general"), Qt::CaseInsensitive) == 0)
                section.clear();
            else if (name.compare(QLatin1String("%general"), Qt::CaseInsensitive) == 0)
                section = name.mid(1) + QLatin1Char('/');
            else
                section = unescapeKey(name) + QLatin1Char('/');
            continue;
        }
        if (scan.equals < 0) {
            ++read.malformedLines;
            continue;
        }
        int keyEnd = scan.equals;
        while (keyEnd > 0 && isBlank(line.at(keyEnd - 1)))
            --keyEnd;
        const QString key = section + unescapeKey(line.left(keyEnd));
        if (scan.cutOff) {
            read.values.remove(key);
            ++read.malformedLines;
            continue;
        }
        read.values.insert(key, storedValue(unescapeValue(line.mid(scan.equals + 1))));
    }
    return read;
}

} // namespace SettingsText

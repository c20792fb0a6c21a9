#include "base/FileNames.h"

#include <QStringList>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char16_t kEscapeBase = 0xDC00; // + the byte, for bytes 0x80..0xFF

// The length of the valid UTF-8 sequence at `at` and its code point; 0 when it is not one
// (a stray continuation byte, a cut sequence, an overlong form, a surrogate, beyond U+10FFFF).
int ValidSequence(QByteArrayView bytes, qsizetype at, char32_t* codePoint) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    int length = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        const unsigned char next = byte(at + i);
        if ((next & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *codePoint = value;
    return length;
}

// The name as the file chooser shows it: every byte that is not UTF-8 is U+FFFD.
QString ShownName(const QString& name) {
    QString shown = name;
    for (QChar& c : shown) {
        if (c.unicode() >= kEscapeBase + 0x80 && c.unicode() <= kEscapeBase + 0xFF)
            c = QChar(QChar::ReplacementCharacter);
    }
    return shown;
}

// The one entry of `folder` shown as `shown`, or an empty string.
QString SingleEntryShownAs(const QString& folder, const QString& shown) {
    DIR* dir =
        ::opendir(NativeFileName(folder.isEmpty() ? QStringLiteral(".") : folder).constData());
    if (dir == nullptr)
        return {};
    QString found;
    int matches = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = FileNameFromNative(QByteArrayView(entry->d_name));
        if (ShownName(name) == shown) {
            found = name;
            ++matches;
        }
    }
    ::closedir(dir);
    return matches == 1 ? found : QString();
}

} // namespace

QString FileNameFromNative(QByteArrayView bytes) {
    QString name;
    name.reserve(bytes.size());
    qsizetype at = 0;
    while (at < bytes.size()) {
        char32_t codePoint = 0;
        const int length = ValidSequence(bytes, at, &codePoint);
        if (length == 0) {
            name.append(
                QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[at]))));
            ++at;
            continue;
        }
        name.append(QString::fromUcs4(&codePoint, 1));
        at += length;
    }
    return name;
}

QByteArray NativeFileName(const QString& name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype at = 0;
    while (at < name.size()) {
        const char16_t unit = name[at].unicode();
        if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
            bytes.append(static_cast<char>(unit - kEscapeBase));
            ++at;
            continue;
        }
        // Everything else as UTF-8; a pair of surrogates is one character.
        const qsizetype length =
            QChar::isHighSurrogate(unit) && at + 1 < name.size() && name[at + 1].isLowSurrogate()
                ? 2
                : 1;
        bytes.append(name.mid(at, length).toUtf8());
        at += length;
    }
    return bytes;
}

QStringList ArgumentsFromNative(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << FileNameFromNative(QByteArrayView(argv[i]));
    return arguments;
}

bool FileExists(const QString& path) {
    struct stat info {};
    return !path.isEmpty() && ::stat(NativeFileName(path).constData(), &info) == 0;
}

bool RemoveFile(const QString& path) {
    return ::unlink(NativeFileName(path).constData()) == 0;
}

QString ExistingFileName(const QString& chosen) {
    if (FileExists(chosen) || !chosen.contains(QChar(QChar::ReplacementCharacter)))
        return chosen;
    const QStringList parts = chosen.split(QLatin1Char('/'));
    QString path;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QString next = i == 0 ? part : path + QLatin1Char('/') + part;
        if (!part.isEmpty() && !FileExists(next) &&
            part.contains(QChar(QChar::ReplacementCharacter))) {
            const QString real = SingleEntryShownAs(
                i == 0 ? QString() : (path.isEmpty() ? QStringLiteral("/") : path), part);
            if (real.isEmpty())
                return chosen;
            next = i == 0 ? real : path + QLatin1Char('/') + real;
        }
        path = next;
    }
    return path;
}

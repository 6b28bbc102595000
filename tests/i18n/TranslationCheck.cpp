// SPDX-License-Identifier: GPL-3.0-or-later
// translation-check TS [--english FILE]... [SOURCE...]: fails (exit 1) when a
// text of the translation file TS has no finished English translation, when
// an English translation or an English FILE (the user guide) contains Chinese
// characters, when a name in bold in an English FILE (<b>Send</b>, a menu
// path <b>File → Open</b>) is not a text the translated program shows, or
// when a Chinese string literal in one of the SOURCE files is not a text of
// TS (it does not go through the translation). A literal on a
// line marked "// untranslated" is not a text for the user (a font's own
// name) and is left alone.
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QXmlStreamReader>
#include <cstdio>

namespace {

bool HasChinese(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF)) return true;
    }
    return false;
}

void Report(int& faults, const QString& what) {
    std::fprintf(stderr, "%s\n", what.toUtf8().constData());
    ++faults;
}

// The English texts as the program shows them on menus and buttons: without
// the accelerator's "&" and a trailing "...", each line on its own (a
// prompt is "status-bar text\ntooltip").
void AddShownNames(const QString& english, QSet<QString>& shown) {
    for (QString line : english.split(QLatin1Char('\n'))) {
        line.replace(QLatin1String("&&"), QLatin1String("\x01"))
            .remove(QLatin1Char('&'))
            .replace(QLatin1Char('\x01'), QLatin1Char('&'));
        if (line.endsWith(QLatin1String("..."))) line.chop(3);
        shown.insert(line.trimmed());
    }
}

// The texts of the translation file, checking each translation on the way;
// `shown` gets the names the English program shows.
QStringList ReadTexts(const QString& path, QSet<QString>& shown, int& faults) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Report(faults, QStringLiteral("%1: cannot read it").arg(path));
        return {};
    }
    QStringList sources;
    QXmlStreamReader xml(&file);
    QString context, source;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            source.clear();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            const QString english = xml.readElementText();
            // Texts gone from the sources checked are no longer shown.
            if (type == QLatin1String("obsolete") || type == QLatin1String("vanished")) continue;
            sources << source;
            AddShownNames(english, shown);
            const QString where = QStringLiteral("%1: [%2] \"%3\"").arg(path, context, source);
            if (type == QLatin1String("unfinished") || english.isEmpty())
                Report(faults, where + QStringLiteral(": no finished English translation"));
            else if (HasChinese(english))
                Report(faults, where +
                                   QStringLiteral(": the English text has Chinese characters: ") +
                                   english);
        }
    }
    if (xml.hasError())
        Report(
            faults,
            QStringLiteral("%1: %2 (line %3)").arg(path, xml.errorString()).arg(xml.lineNumber()));
    return sources;
}

struct Literal {
    int line;
    QStringList pieces;  // the text between escape sequences
};

// The string literals of a C++ source, skipping comments and characters.
QList<Literal> StringLiterals(const QString& code) {
    QList<Literal> literals;
    int line = 1;
    const int n = code.size();
    for (int k = 0; k < n; ++k) {
        const QChar c = code[k];
        if (c == QLatin1Char('\n')) {
            ++line;
        } else if (c == QLatin1Char('/') && k + 1 < n && code[k + 1] == QLatin1Char('/')) {
            while (k + 1 < n && code[k + 1] != QLatin1Char('\n')) ++k;
        } else if (c == QLatin1Char('/') && k + 1 < n && code[k + 1] == QLatin1Char('*')) {
            for (k += 2;
                 k + 1 < n && !(code[k] == QLatin1Char('*') && code[k + 1] == QLatin1Char('/'));
                 ++k)
                if (code[k] == QLatin1Char('\n')) ++line;
            ++k;
        } else if (c == QLatin1Char('\'')) {
            // A digit separator (1'000) is no character literal.
            if (k > 0 && code[k - 1].isLetterOrNumber() && k + 1 < n &&
                code[k + 1].isLetterOrNumber() && code[k - 1] != QLatin1Char('u') &&
                code[k - 1] != QLatin1Char('U') && code[k - 1] != QLatin1Char('L'))
                continue;
            for (++k; k < n && code[k] != QLatin1Char('\''); ++k)
                if (code[k] == QLatin1Char('\\')) ++k;
        } else if (c == QLatin1Char('"')) {
            Literal literal{line, {QString()}};
            for (++k; k < n && code[k] != QLatin1Char('"'); ++k) {
                if (code[k] == QLatin1Char('\\')) {
                    ++k;
                    literal.pieces << QString();
                } else {
                    if (code[k] == QLatin1Char('\n')) ++line;
                    literal.pieces.last() += code[k];
                }
            }
            literals << literal;
        }
    }
    return literals;
}

void CheckEnglishFile(const QString& path, const QSet<QString>& shown, int& faults) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Report(faults, QStringLiteral("%1: cannot read it").arg(path));
        return;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    static const QRegularExpression bold(QStringLiteral("<b>([^<]*)</b>"));
    for (int k = 0; k < lines.size(); ++k) {
        if (HasChinese(lines[k]))
            Report(faults, QStringLiteral("%1:%2: Chinese characters in an English text: %3")
                               .arg(path)
                               .arg(k + 1)
                               .arg(lines[k].trimmed()));
        for (const QRegularExpressionMatch& name : bold.globalMatch(lines[k]))
            for (const QString& part : name.captured(1).split(QStringLiteral(" → ")))
                if (!shown.contains(part.trimmed()))
                    Report(faults, QStringLiteral("%1:%2: \"%3\" is not a name the program shows")
                                       .arg(path)
                                       .arg(k + 1)
                                       .arg(part.trimmed()));
    }
}

void CheckSource(const QString& path, const QStringList& texts, int& faults) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Report(faults, QStringLiteral("%1: cannot read it").arg(path));
        return;
    }
    const QString code = QString::fromUtf8(file.readAll());
    const QStringList lines = code.split(QLatin1Char('\n'));
    for (const Literal& literal : StringLiterals(code)) {
        if (lines.value(literal.line - 1).contains(QLatin1String("// untranslated"))) continue;
        for (const QString& piece : literal.pieces) {
            if (!HasChinese(piece)) continue;
            bool known = false;
            for (const QString& text : texts) known = known || text.contains(piece);
            if (!known)
                Report(faults, QStringLiteral("%1:%2: \"%3\" does not go through the translation")
                                   .arg(path)
                                   .arg(literal.line)
                                   .arg(piece));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: translation-check TS [--english FILE]... [SOURCE...]\n");
        return 2;
    }
    int faults = 0;
    QSet<QString> shown;
    const QStringList texts = ReadTexts(args.takeFirst(), shown, faults);
    while (args.size() >= 2 && args[0] == QLatin1String("--english")) {
        CheckEnglishFile(args[1], shown, faults);
        args.remove(0, 2);
    }
    for (const QString& source : args) CheckSource(source, texts, faults);
    if (faults > 0) {
        std::fprintf(stderr, "%d translation faults\n", faults);
        return 1;
    }
    std::printf("%lld texts, all translated; %lld sources checked\n",
                static_cast<long long>(texts.size()), static_cast<long long>(args.size()));
    return 0;
}

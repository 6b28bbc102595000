#include "cli/EditCommands.h"

#include "cli/CliSupport.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"
#include "model/MessageSink.h"
#include "model/TreeRules.h"

namespace glowdeck {

namespace {

// An item addressed as the user interface counts (groups and shown items from 1).
struct Target {
    int g = -1, i = -1;  // project-file positions, 0-based
    ItemKind kind = ItemKind::Picture;
};

std::optional<Target> Resolve(CGlowdeckDoc& doc, const QString& group, const QString& item) {
    const auto g = ParseNumber(group), n = ParseNumber(item);
    const CProjectFile& file = *doc.ProjectFile();
    if (!g || !n || *g > file.GroupCount()) {
        PrintErr(QStringLiteral("no item %1 in group %2").arg(item, group));
        return std::nullopt;
    }
    const int position = FilePosition(file, *g, *n);
    if (position == 0) {
        PrintErr(QStringLiteral("no item %1 in group %2").arg(item, group));
        return std::nullopt;
    }
    Target t;
    t.g = *g - 1;
    t.i = position - 1;
    t.kind = *KindFromElementName(file.ItemKindOf(t.g, t.i));
    return t;
}

// A project opened for editing one item.
struct EditSession {
    StderrMessageSink messages;
    CGlowdeckDoc doc{messages};
    Target target;
    // 0 when the item was found, else the exit code (the reason is printed).
    int Open(const QString& project, const QString& group, const QString& item) {
        if (!OpenProjectForCli(doc, project)) return 1;
        const auto t = Resolve(doc, group, item);
        if (!t) return 1;
        target = *t;
        return 0;
    }
};

void PrintStored(const CProjectFile& file, const Target& t, std::initializer_list<const char*> names) {
    QStringList parts{QStringLiteral("id=") + file.GetAttr(t.g, t.i, "id")};
    for (const char* name : names) parts << QStringLiteral("%1=%2").arg(QLatin1String(name), file.GetText(t.g, t.i, name));
    PrintOut(parts.join(QLatin1Char(' ')));
}

}  // namespace

int RunSetSource(const QStringList& args) {
    if (args.size() != 4) {
        PrintErr(QStringLiteral("usage: glowdeck-cli set-source PROJECT GROUP ITEM FILE"));
        return 2;
    }
    EditSession session;
    if (const int failed = session.Open(args[0], args[1], args[2])) return failed;
    CGlowdeckDoc& doc = session.doc;
    const Target* t = &session.target;
    QString error;
    if (t->kind == ItemKind::Picture) {
        if (!item_ops::SetPictureSource(doc, t->g, t->i, args[3], &error)) return PrintErr(error), 1;
        PrintStored(*doc.ProjectFile(), *t, {"width", "height", "length"});
    } else if (t->kind == ItemKind::Animation) {
        if (!item_ops::SetAnimationSource(doc, t->g, t->i, args[3], &error)) return PrintErr(error), 1;
        PrintStored(*doc.ProjectFile(), *t, {"width", "height", "framecount", "length", "flength", "interval"});
    } else {
        PrintErr(QStringLiteral("set-source takes a picture or an animation item"));
        return 2;
    }
    return 0;
}

int RunSetText(const QStringList& arguments) {
    QStringList args = arguments;
    item_ops::TextSettings s;
    if (const auto face = TakeOption(args, QStringLiteral("--font"))) s.font = *face;
    auto number = [&](const char* option, int* out) {
        if (const auto v = TakeOption(args, QString::fromLatin1(option))) {
            bool ok = false;
            *out = v->toInt(&ok);
            if (!ok) PrintErr(QStringLiteral("%1 takes a number").arg(QLatin1String(option)));
            return ok;
        }
        return true;
    };
    auto colour = [&](const char* option, unsigned* out) {
        if (const auto v = TakeOption(args, QString::fromLatin1(option))) {
            const auto c = item_ops::ParseColour(*v);
            if (!c) PrintErr(QStringLiteral("%1: not a colour: %2").arg(QLatin1String(option), *v));
            else *out = *c;
            return c.has_value();
        }
        return true;
    };
    if (!number("--size", &s.fontSize) || !number("--style", &s.fontStyle) || !colour("--color", &s.textColour) ||
        !colour("--background", &s.backColour))
        return 2;
    s.autoSpacing = args.removeAll(QStringLiteral("--manual-spacing")) == 0;
    if (const auto offsets = TakeOption(args, QStringLiteral("--offsets"))) {
        const QStringList v = offsets->split(QLatin1Char(','));
        if (v.size() != 4) {
            PrintErr(QStringLiteral("--offsets takes VERTICAL,CHINESE,ENGLISH,PUNCTUATION"));
            return 2;
        }
        s.verticalOffset = v[0].toDouble();
        s.chineseOffset = v[1].toDouble();
        s.englishOffset = v[2].toDouble();
        s.symbolOffset = v[3].toDouble();
    }
    if (args.size() != 4) {
        PrintErr(QStringLiteral("usage: glowdeck-cli set-text PROJECT GROUP ITEM TEXT [--font FACE] [--size N] [--style N] "
                                "[--color C] [--background C] [--manual-spacing] [--offsets V,C,E,P]"));
        return 2;
    }
    s.text = args[3];
    EditSession session;
    if (const int failed = session.Open(args[0], args[1], args[2])) return failed;
    CGlowdeckDoc& doc = session.doc;
    const Target* t = &session.target;
    if (t->kind != ItemKind::Text) {
        PrintErr(QStringLiteral("set-text takes a text item"));
        return 2;
    }
    bool cut = false;
    if (!item_ops::ConfirmText(doc, t->g, t->i, s, &session.messages, &cut)) return 1;
    if (cut) PrintErr(QStringLiteral("the text was cut to %1 characters").arg(item_ops::MaxTextCharacters));
    PrintStored(*doc.ProjectFile(), *t, {"text", "font", "fontstyle", "fontsize", "textcolor", "backcolor", "width", "height", "length"});
    return 0;
}

int RunSetInterval(const QStringList& arguments) {
    QStringList args = arguments;
    const auto length = TakeOption(args, QStringLiteral("--length"));
    const auto background = TakeOption(args, QStringLiteral("--background"));
    if (args.size() != 3) {
        PrintErr(QStringLiteral("usage: glowdeck-cli set-interval PROJECT GROUP ITEM [--length N] [--background C]"));
        return 2;
    }
    EditSession session;
    if (const int failed = session.Open(args[0], args[1], args[2])) return failed;
    CGlowdeckDoc& doc = session.doc;
    const Target* t = &session.target;
    if (t->kind != ItemKind::Interval) {
        PrintErr(QStringLiteral("set-interval takes an interval item"));
        return 2;
    }
    const CProjectFile& file = *doc.ProjectFile();
    int columns = file.GetInt(t->g, t->i, "length");
    unsigned colour = static_cast<unsigned>(file.GetInt(t->g, t->i, "backcolor"));
    if (length) {
        bool ok = false;
        columns = length->toInt(&ok);
        if (!ok || columns < 1 || columns > 300) {
            PrintErr(QStringLiteral("--length takes 1 to 300"));
            return 2;
        }
    }
    if (background) {
        const auto c = item_ops::ParseColour(*background);
        if (!c) {
            PrintErr(QStringLiteral("not a colour: %1").arg(*background));
            return 2;
        }
        colour = *c;
    }
    if (!item_ops::ApplyInterval(doc, t->g, t->i, columns, colour)) return 1;
    PrintStored(*doc.ProjectFile(), *t, {"length", "backcolor"});
    return 0;
}

int RunSetThreshold(const QStringList& args) {
    if (args.size() != 6) {
        PrintErr(QStringLiteral("usage: glowdeck-cli set-threshold PROJECT GROUP ITEM R G B"));
        return 2;
    }
    int values[3];
    for (int k = 0; k < 3; ++k) {
        bool ok = false;
        values[k] = args[3 + k].toInt(&ok);
        if (!ok || values[k] < 0 || values[k] > 255) {
            PrintErr(QStringLiteral("R, G and B take 0 to 255"));
            return 2;
        }
    }
    EditSession session;
    if (const int failed = session.Open(args[0], args[1], args[2])) return failed;
    CGlowdeckDoc& doc = session.doc;
    const Target* t = &session.target;
    if (!item_ops::SetThresholds(doc, t->g, t->i, values[0], values[1], values[2])) return 1;
    PrintStored(*doc.ProjectFile(), *t, {"r", "g", "b"});
    return 0;
}

}  // namespace glowdeck

// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ProjectFile.h"

#include <QFileInfo>
#include <QUuid>
#include <array>
#include <cstring>
#include <string>

#include "base/AccessError.h"
#include "base/AtomicFile.h"
#include "base/IntText.h"
#include "base/RegularFile.h"
#include "model/ImageUse.h"
#include "model/ItemTemplate.h"
#include "model/ProjectLimits.h"
#include "model/TreeMemory.h"

namespace glowdeck {

namespace {

const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
// The pieces a save writes at a time.
constexpr qsizetype kPieceBytes = 64 * 1024;

std::string Utf8(const QString& s) { return s.toStdString(); }
QString FromUtf8(const char* s) { return QString::fromUtf8(s); }

[[noreturn]] void Fail(const std::string& what) { throw AccessError(what); }

// Line and column (1-based) of a byte offset.
QString Position(const QByteArray& data, std::ptrdiff_t offset) {
    int line = 1, column = 1;
    for (std::ptrdiff_t k = 0; k < offset && k < data.size(); ++k) {
        if (data.at(static_cast<int>(k)) == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return QStringLiteral("line %1, column %2").arg(line).arg(column);
}

// The node after `node` in document order below `top`, null after the last.
// Depth-first without recursion: files may nest very deeply.
pugi::xml_node NextBelow(pugi::xml_node node, const pugi::xml_node top) {
    if (node.first_child()) return node.first_child();
    while (node && !node.next_sibling() && node != top) node = node.parent();
    if (!node || node == top) return pugi::xml_node();
    return node.next_sibling();
}

// Whether parsing `data` may leave two text nodes side by side: only a
// skipped comment or processing instruction splits a text, and the files
// the program writes have neither (the declaration at their start aside),
// so their trees need no walk for it.
bool MaySplitText(const QByteArray& data) {
    // A search for the rare '!' and '?', not a stop at every '<': a file of
    // thousands of items has tens of thousands of tags.
    const char* const begin = data.constData();
    const char* const end = begin + data.size();
    for (const char mark : {'!', '?'})
        for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, mark, end - p)));
             ++p)
            if (p > begin && p[-1] == '<' && !(mark == '?' && p - 1 == begin)) return true;
    return false;
}

// Text split by a skipped processing instruction or comment becomes one text
// node, as a file written back and read again would give.
void MergeAdjacentText(pugi::xml_node top) {
    pugi::xml_node node = top.first_child();
    while (node) {
        if (node.type() == pugi::node_pcdata) {
            pugi::xml_node next = node.next_sibling();
            if (next && next.type() == pugi::node_pcdata) {
                const std::string joined = std::string(node.value()) + next.value();
                node.set_value(joined.c_str());
                node.parent().remove_child(next);
                continue;
            }
        }
        node = NextBelow(node, top);
    }
}

// Calls `visit` with every "id" attribute of the nodes below `top`, in
// document order, until it returns false. pugixml's own traversal walks the
// tree without a library call a step: the trees have a dozen nodes an item.
template <class Visit>
void ForEachIdBelow(const pugi::xml_node top, Visit&& visit) {
    struct Walker : pugi::xml_tree_walker {
        Visit* visit;
        bool for_each(pugi::xml_node& node) override {
            if (node.type() != pugi::node_element) return true;
            const pugi::xml_attribute id = node.attribute("id");
            return !id || (*visit)(id);
        }
    } walker;
    walker.visit = &visit;
    pugi::xml_node(top).traverse(walker);
}

// The "id" attributes of every element below `top`, in document order.
QStringList IdsBelow(const pugi::xml_node top) {
    QStringList ids;
    ForEachIdBelow(top, [&](const pugi::xml_attribute id) {
        ids << FromUtf8(id.value());
        return true;
    });
    return ids;
}

// Whether `text` equals the lower-case ASCII `lowered` in any letter case.
// Sets `unsure` when `text` reaches a non-ASCII byte before it differs: the
// Unicode lowering must then decide.
bool SameAscii(const char* text, const std::string& lowered, bool* unsure) {
    size_t k = 0;
    for (;; ++k) {
        unsigned char c = static_cast<unsigned char>(text[k]);
        if (c >= 0x80) {
            *unsure = true;
            return false;
        }
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + ('a' - 'A'));
        if (k == lowered.size() || c != static_cast<unsigned char>(lowered[k])) break;
    }
    return k == lowered.size() && text[k] == 0;
}

// The same for UTF-8 text that is ASCII; false (and `out` undefined) for any other.
bool LoweredAscii(const char* text, std::string& out) {
    out.clear();
    for (const char* p = text; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x80) return false;
        out += static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    return true;
}

// IsPlainFileName on an attribute's UTF-8 bytes, without making a string:
// '/', '\\' and '.' never occur inside a multi-byte character. A missing
// attribute is not plain either.
bool PlainBytes(const pugi::xml_attribute attribute) {
    const char* text = attribute.value();
    if (!attribute || !*text) return false;
    return !std::strpbrk(text, "/\\") && !std::strstr(text, "..");
}

// The item kind an element name stands for, a namespace prefix ignored.
std::optional<ItemKind> KindOfElement(const char* name) {
    // The element names taken once: KindInfo also translates the kind's
    // default name, at every call, and this runs for every item looked at.
    static const std::array<std::pair<ItemKind, const char*>, 4> kinds = [] {
        std::array<std::pair<ItemKind, const char*>, 4> table;
        int k = 0;
        for (const ItemKind kind :
             {ItemKind::Picture, ItemKind::Animation, ItemKind::Text, ItemKind::Interval})
            table[static_cast<size_t>(k++)] = {kind, KindInfo(kind).elementName};
        return table;
    }();
    if (const char* colon = std::strchr(name, ':')) name = colon + 1;
    // The first letters differ: one comparison of a whole name at most.
    for (const auto& [kind, element] : kinds)
        if (name[0] == element[0] && std::strcmp(name, element) == 0) return kind;
    return std::nullopt;
}

}  // namespace

CProjectFile::CProjectFile(QString filePath, const QString& projectName)
    : filePath_(std::move(filePath)) {
    // A FIFO or a device named Index.prj is refused without blocking or
    // reading without end; a regular file too large to be a project is kept
    // aside by the first save, like one that does not parse.
    QString why;
    if (const std::optional<QByteArray> data =
            ReadWholeFile(filePath_, MaxProjectFileBytes, &why)) {
        Load(*data, projectName);
    } else {
        loadError_ = why;
        const QFileInfo info(filePath_);
        keepUnreadableOriginal_ = info.isFile() && info.size() > MaxProjectFileBytes;
        StartEmpty(projectName);
    }
}

CProjectFile::CProjectFile(QString filePath, const QByteArray& content, const QString& projectName)
    : filePath_(std::move(filePath)) {
    Load(content, projectName);
}

void CProjectFile::Load(const QByteArray& data, const QString& projectName) {
    released_.clear();
    pristine_ = false;
    idsPlain_ = false;
    const tree_memory::CLargeTree largeTree(static_cast<size_t>(data.size()));
    const pugi::xml_parse_result result = document_.load_buffer(
        data.constData(), static_cast<size_t>(data.size()), pugi::parse_default);
    if (result && document_.document_element()) {
        root_ = document_.document_element();
        if (MaySplitText(data)) MergeAdjacentText(document_);
        loadError_ = TooLarge();
        if (loadError_.isEmpty()) {
            Reindex();
            loaded_ = true;
            // The tree is exactly what these bytes parse to.
            loadedBytes_ = data;
            pristine_ = true;
            return;
        }
    } else {
        loadError_ = QStringLiteral("%1 (%2)").arg(QString::fromUtf8(result.description()),
                                                   Position(data, result.offset));
    }
    keepUnreadableOriginal_ = !data.isEmpty();
    StartEmpty(projectName);
}

QString CProjectFile::TooLarge() const {
    long long groups = 0, items = 0;
    for (pugi::xml_node n = root_.child("group"); n; n = n.next_sibling("group")) {
        ++groups;
        for (pugi::xml_node item = n.first_child(); item; item = item.next_sibling()) ++items;
    }
    QString problem;
    if (items > MaxItemsInFile)
        problem =
            QStringLiteral("the file holds %1 items, more than the %2 a project file may have")
                .arg(items)
                .arg(MaxItemsInFile);
    else if (groups > MaxGroupsInFile)
        problem =
            QStringLiteral("the file holds %1 groups, more than the %2 a project file may have")
                .arg(groups)
                .arg(MaxGroupsInFile);
    return problem.isEmpty() ? problem : DamagedProjectText(AccessError(problem.toStdString()));
}

void CProjectFile::Reindex() {
    groups_.clear();
    items_.clear();
    for (pugi::xml_node n = root_.child("group"); n; n = n.next_sibling("group")) {
        groups_.push_back(n);
        std::vector<pugi::xml_node>& items = items_.emplace_back();
        for (pugi::xml_node item = n.first_child(); item; item = item.next_sibling())
            items.push_back(item);
    }
}

std::unique_ptr<CProjectFile::Snapshot> CProjectFile::TakeSnapshot() const {
    auto snapshot = std::make_unique<Snapshot>();
    // Unchanged since it was loaded, the tree is kept as the bytes it was
    // parsed from (shared, not copied): a one-item edit after opening then
    // costs no copy of a large tree. Otherwise the whole tree is copied.
    if (pristine_)
        snapshot->bytes_ = loadedBytes_;
    else
        snapshot->tree_.reset(document_);
    snapshot->releasedMark_ = released_.size();
    return snapshot;
}

bool CProjectFile::ParseInto(pugi::xml_document& document, const QByteArray& bytes) {
    const tree_memory::CLargeTree largeTree(static_cast<size_t>(bytes.size()));
    if (!document.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()),
                              pugi::parse_default))
        return false;
    if (MaySplitText(bytes)) MergeAdjacentText(document);
    return true;
}

void CProjectFile::Restore(const Snapshot& snapshot) {
    idsPlain_ = false;
    if (!snapshot.bytes_.isNull() && ParseInto(document_, snapshot.bytes_)) {
        // Parsed as Load parsed them: the tree it had.
        loadedBytes_ = snapshot.bytes_;
        pristine_ = true;
    } else {
        document_.reset(snapshot.tree_);
        pristine_ = false;
    }
    root_ = document_.document_element();
    Reindex();
    // What was released after the snapshot is back in the tree.
    released_.resize(std::min(released_.size(), snapshot.releasedMark_));
}

QStringList CProjectFile::IdsReleasedSince(const Snapshot& snapshot) const {
    QStringList ids;
    for (size_t k = std::min(snapshot.releasedMark_, released_.size()); k < released_.size(); ++k)
        ids << released_[k];
    return ids;
}

void CProjectFile::Release(pugi::xml_node node, bool withOwn) {
    if (withOwn)
        if (const pugi::xml_attribute id = node.attribute("id"))
            released_.push_back(FromUtf8(id.value()));
    for (const QString& id : IdsBelow(node)) released_.push_back(id);
}

void CProjectFile::StartEmpty(const QString& projectName) {
    released_.clear();
    pristine_ = false;
    idsPlain_ = false;
    document_.reset();
    root_ = document_.append_child("project");
    root_.append_attribute("name").set_value(Utf8(projectName).c_str());
    Reindex();
}

QString CProjectFile::ProjectName() const { return FromUtf8(root_.attribute("name").value()); }

pugi::xml_node CProjectFile::Group(int g) const {
    if (g < 0 || static_cast<size_t>(g) >= groups_.size())
        Fail("group " + std::to_string(g) + " does not exist");
    return groups_[static_cast<size_t>(g)];
}

pugi::xml_node CProjectFile::Item(int g, int i) const {
    Group(g);
    const std::vector<pugi::xml_node>& items = items_[static_cast<size_t>(g)];
    if (i < 0 || static_cast<size_t>(i) >= items.size())
        Fail("item " + std::to_string(i) + " of group " + std::to_string(g) + " does not exist");
    return items[static_cast<size_t>(i)];
}

pugi::xml_node CProjectFile::Property(int g, int i, const char* name) const {
    const pugi::xml_node item = Item(g, i);
    const pugi::xml_node property = item.child(name);
    if (!property)
        Fail("item " + std::to_string(i) + " of group " + std::to_string(g) + " has no \"" + name +
             "\"");
    return property;
}

int CProjectFile::GroupCount() const { return static_cast<int>(groups_.size()); }

QString CProjectFile::GroupName(int g) const {
    return FromUtf8(Group(g).attribute("name").value());
}

int CProjectFile::ItemCount(int g) const {
    Group(g);
    return static_cast<int>(items_[static_cast<size_t>(g)].size());
}

QString CProjectFile::ItemKindOf(int g, int i) const {
    QString name = FromUtf8(Item(g, i).name());
    const auto colon = name.indexOf(QLatin1Char(':'));
    return colon >= 0 ? name.mid(colon + 1) : name;
}

std::optional<ItemKind> CProjectFile::KindOf(int g, int i) const {
    return KindOfElement(Item(g, i).name());
}

QString CProjectFile::GetAttr(int g, int i, const char* name) const {
    const pugi::xml_attribute attribute = Item(g, i).attribute(name);
    if (!attribute)
        Fail("item " + std::to_string(i) + " of group " + std::to_string(g) +
             " has no attribute \"" + name + "\"");
    return FromUtf8(attribute.value());
}

void CProjectFile::SetAttr(int g, int i, const char* name, const QString& value) {
    pristine_ = false;
    pugi::xml_node item = Item(g, i);
    if (item.type() != pugi::node_element)
        Fail("item " + std::to_string(i) + " of group " + std::to_string(g) + " is not an element");
    pugi::xml_attribute attribute = item.attribute(name);
    if (!attribute)
        attribute = item.append_attribute(name);
    else if (std::strcmp(name, "id") == 0)
        released_.push_back(FromUtf8(attribute.value()));
    attribute.set_value(Utf8(value).c_str());
    if (std::strcmp(name, "id") == 0 && !PlainBytes(attribute)) idsPlain_ = false;
}

QString CProjectFile::GetText(int g, int i, const char* name) const {
    // The element's whole text: every text and CDATA node below it, in order.
    const pugi::xml_node property = Property(g, i, name);
    // Most often one text node, read without a walk.
    const pugi::xml_node only = property.first_child();
    if (!only) return QString();
    if (!only.next_sibling() &&
        (only.type() == pugi::node_pcdata || only.type() == pugi::node_cdata))
        return FromUtf8(only.value());
    std::string text;
    struct Collect : pugi::xml_tree_walker {
        std::string* out;
        bool for_each(pugi::xml_node& node) override {
            if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
                *out += node.value();
            return true;
        }
    } collect;
    collect.out = &text;
    pugi::xml_node(property).traverse(collect);
    return QString::fromStdString(text);
}

void CProjectFile::SetText(int g, int i, const char* name, const QString& value) {
    pristine_ = false;
    pugi::xml_node property = Property(g, i, name);
    while (pugi::xml_node child = property.first_child()) {
        Release(child, true);
        property.remove_child(child);
    }
    property.append_child(pugi::node_pcdata).set_value(Utf8(value).c_str());
}

int CProjectFile::GetInt(int g, int i, const char* name) const {
    return ParseCInt(GetText(g, i, name));
}

void CProjectFile::SetInt(int g, int i, const char* name, int value) {
    pristine_ = false;
    SetText(g, i, name, QString::number(value));
}

std::vector<int> CProjectFile::GetIntList(int g, int i, const char* name) const {
    QString rest = GetText(g, i, name);
    std::vector<int> values;
    while (static_cast<int>(values.size()) < MaxListValues) {
        const auto comma = rest.indexOf(QLatin1Char(','));
        if (comma < 0) {
            values.push_back(ParseCInt(rest));
            break;
        }
        values.push_back(ParseCInt(rest.left(comma)));
        rest = rest.mid(comma + 1);
    }
    return values;
}

void CProjectFile::SetIntList(int g, int i, const char* name, const std::vector<int>& values) {
    pristine_ = false;
    QString text;
    for (size_t k = 0; k < values.size(); ++k) {
        if (k) text += QLatin1Char(',');
        text += QString::number(values[k]);
    }
    SetText(g, i, name, text);
}

bool CProjectFile::HasProperty(int g, int i, const char* name) const {
    return static_cast<bool>(Item(g, i).child(name));
}

void CProjectFile::SetOptionalText(int g, int i, const char* name, const QString& value) {
    pristine_ = false;
    pugi::xml_node item = Item(g, i);
    if (item.type() != pugi::node_element)
        Fail("item " + std::to_string(i) + " of group " + std::to_string(g) + " is not an element");
    if (!item.child(name)) item.append_child(name);
    SetText(g, i, name, value);
}

void CProjectFile::RemoveProperty(int g, int i, const char* name) {
    pristine_ = false;
    pugi::xml_node item = Item(g, i);
    while (pugi::xml_node property = item.child(name)) {
        Release(property, true);
        item.remove_child(property);
    }
}

QString CProjectFile::GenerateId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

QString CProjectFile::NewItemId(int g, int i) {
    pristine_ = false;
    const QString id = GenerateId();
    SetAttr(g, i, "id", id);
    return id;
}

bool CProjectFile::IsPlainFileName(const QString& name) {
    // One pass: every item's id is checked at every edit.
    char16_t previous = 0;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u == '/' || u == '\\' || u == 0 || (u == '.' && previous == '.')) return false;
        previous = u;
    }
    return !name.isEmpty();
}

QString CProjectFile::ItemId(int g, int i) const {
    const QString id = GetAttr(g, i, "id");
    if (!IsPlainFileName(id))
        Fail("item " + std::to_string(i) + " of group " + std::to_string(g) + " has the id \"" +
             Utf8(id) + "\", which is not a plain file name");
    return id;
}

QStringList CProjectFile::AllIds() const { return IdsBelow(document_); }

void CProjectFile::CheckItemIds() const {
    // Checked once per tree: after a pass only a damaged id written since
    // (SetAttr, AppendItem) or another tree (a load, a restore) asks again.
    if (idsPlain_) return;
    for (size_t g = 0; g < items_.size(); ++g)
        for (size_t i = 0; i < items_[g].size(); ++i)
            if (KindOfElement(items_[g][i].name()) && !PlainBytes(items_[g][i].attribute("id")))
                ItemId(static_cast<int>(g), static_cast<int>(i));  // throws with the reason
    idsPlain_ = true;
}

QStringList CProjectFile::Unnamed(const QStringList& ids) const {
    // The candidates lowered; ASCII ones (every id the program writes) are
    // compared on the tree's bytes without making a string of every id.
    QSet<QString> wanted;
    std::vector<std::pair<std::string, QString>> ascii;
    std::string bytes;
    for (const QString& id : ids) {
        if (id.isEmpty()) continue;
        const QString lowered = image_use::Lowered(id);
        if (wanted.contains(lowered)) continue;
        wanted.insert(lowered);
        if (LoweredAscii(lowered.toUtf8().constData(), bytes)) ascii.emplace_back(bytes, lowered);
    }
    QSet<QString> named;
    if (!wanted.isEmpty())
        ForEachIdBelow(document_, [&](const pugi::xml_attribute id) {
            bool unsure = false;
            for (const auto& [lowered, text] : ascii)
                if (SameAscii(id.value(), lowered, &unsure)) {
                    named.insert(text);
                    break;
                }
            if (unsure) {
                const QString lowered = image_use::Lowered(FromUtf8(id.value()));
                if (wanted.contains(lowered)) named.insert(lowered);
            }
            return named.size() < wanted.size();
        });
    QStringList unnamed;
    for (const QString& id : ids)
        if (!id.isEmpty() && !named.contains(image_use::Lowered(id))) unnamed << id;
    return unnamed;
}

QStringList CProjectFile::Snapshot::AllIds() const {
    if (bytes_.isNull()) return IdsBelow(tree_);
    pugi::xml_document tree;
    return ParseInto(tree, bytes_) ? IdsBelow(tree) : QStringList();
}

QByteArray CProjectFile::Serialize() const {
    // Written straight into the result: no stream and no copies of a file
    // that runs to megabytes.
    struct Writer : pugi::xml_writer {
        QByteArray out;
        void write(const void* data, size_t size) override {
            out.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
        }
    } writer;
    writer.out.reserve(loadedBytes_.size() + 4096);
    writer.out.append(kDeclaration).append('\n');
    document_.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return writer.out;
}

bool CProjectFile::Save(QString* error) {
    if (keepUnreadableOriginal_) {
        // Never replace a project file we could not read without keeping it.
        QString backup = filePath_ + QStringLiteral(".bak");
        for (int n = 1; QFileInfo::exists(backup); ++n)
            backup = filePath_ + QStringLiteral(".bak%1").arg(n);
        QString why;
        if (QFileInfo::exists(filePath_) && !CopyFileAtomically(filePath_, backup, &why)) {
            if (error)
                *error = QStringLiteral("cannot keep a copy of the unreadable file as %1 (%2)")
                             .arg(backup, why);
            return false;
        }
        keepUnreadableOriginal_ = false;
    }
    // Written out in pieces as the tree is turned into text: a file of
    // megabytes is never held in memory a second time.
    struct Writer : pugi::xml_writer {
        CAtomicFile file;
        QString* error;
        QByteArray piece;
        bool ok = true;
        Writer(const QString& path, QString* e) : file(path), error(e) {}
        bool Flush() {
            ok = ok && file.Append(piece, error);
            piece.clear();
            return ok;
        }
        void write(const void* data, size_t size) override {
            piece.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
            if (piece.size() >= kPieceBytes) Flush();
        }
    } writer(filePath_, error);
    if (!writer.file.Open(error)) return false;
    writer.piece.reserve(kPieceBytes + 16 * 1024);
    writer.piece.append(kDeclaration).append('\n');
    document_.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return writer.Flush() && writer.file.Commit(error);
}

void CProjectFile::SetGroupName(int g, const QString& name) {
    pristine_ = false;
    pugi::xml_node group = Group(g);
    pugi::xml_attribute attribute = group.attribute("name");
    if (!attribute) attribute = group.prepend_attribute("name");
    attribute.set_value(Utf8(name).c_str());
}

void CProjectFile::AppendGroup(const QString& name) {
    pristine_ = false;
    pugi::xml_node group = root_.append_child("group");
    group.append_attribute("name").set_value(Utf8(name).c_str());
    groups_.push_back(group);
    items_.emplace_back();
}

void CProjectFile::RemoveGroup(int g) {
    pristine_ = false;
    Release(Group(g), true);
    root_.remove_child(Group(g));
    Reindex();
}

void CProjectFile::PlaceAfter(pugi::xml_node parent, pugi::xml_node node, pugi::xml_node ref,
                              bool copy) {
    if (!copy && node == ref) return;
    if (!ref || ref == parent.last_child()) {
        if (copy)
            parent.append_copy(node);
        else
            parent.append_move(node);
    } else {
        if (copy)
            parent.insert_copy_after(node, ref);
        else
            parent.insert_move_after(node, ref);
    }
}

void CProjectFile::PlaceGroupAfter(int g, int after, bool copy) {
    pristine_ = false;
    const pugi::xml_node source = Group(g);
    const pugi::xml_node ref = Group(after);
    PlaceAfter(root_, source, ref, copy);
    Reindex();
}

void CProjectFile::AppendItem(int g, ItemKind kind, const QString& name, const QString& id) {
    pristine_ = false;
    pugi::xml_node item = Group(g).append_child(KindInfo(kind).elementName);
    item.append_attribute("name").set_value(Utf8(name).c_str());
    pugi::xml_attribute idAttribute = item.append_attribute("id");
    idAttribute.set_value(Utf8(id).c_str());
    if (!PlainBytes(idAttribute)) idsPlain_ = false;
    for (const auto& [property, value] : NewItemProperties(kind))
        item.append_child(property).append_child(pugi::node_pcdata).set_value(Utf8(value).c_str());
    items_[static_cast<size_t>(g)].push_back(item);
}

void CProjectFile::RemoveItem(int g, int i) {
    pristine_ = false;
    Release(Item(g, i), true);
    Group(g).remove_child(Item(g, i));
    std::vector<pugi::xml_node>& items = items_[static_cast<size_t>(g)];
    items.erase(items.begin() + i);
}

void CProjectFile::PlaceItemAfter(int g, int i, int g2, int after, bool copy) {
    pristine_ = false;
    const pugi::xml_node source = Item(g, i);
    const pugi::xml_node target = Group(g2);
    const pugi::xml_node ref = after < 0 ? pugi::xml_node() : Item(g2, after);
    PlaceAfter(target, source, ref, copy);
    Reindex();
}

}  // namespace glowdeck

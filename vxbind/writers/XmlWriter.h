// -----------------------------------------------------------------------------
// File: XmlWriter.h
// -----------------------------------------------------------------------------
//
// CXmlWriter: the abstract writer through which every serialisation goes.
//
// The writer owns the namespace bookkeeping. It keeps one
// CXmlWriterContext per open element; a context shares its parent's
// namespace scope (URI -> prefix map and default namespace) until something
// is declared on it, and then takes a copy of its own (copy on write), so a
// document without local declarations copies the map once, at the root.
// For every element and attribute the writer decides whether a prefix is
// needed and invents one ("AA", "AB", ...) for a namespace that has none.
//
// Namespaces given with SetDefaultNamespace/AddNamespace before the root
// element are declared on the root element; given while an element is open
// they change only that element's scope (and its descendants') and are
// declared where a name first needs them.
//
// What is written always reads back in the namespaces it was written in.
// Beside the scopes, which decide the prefixes, the writer tracks the
// bindings in force in the output: the default namespace and the prefix ->
// URI bindings that a reader of the output sees at the current element.
// Whenever a name (an element's, an attribute's, or the prefix inside an
// xsi:type or other QName value) would not be bound to the namespace
// intended, the start tag that is open gets the declaration it needs:
// xmlns="" for an element without namespace inside a default namespace,
// xmlns="U" for a default namespace set inside an element, xmlns:p="U" for
// a prefix added inside an element or bound to another namespace there
// (for a QName value, its own prefix where that is free). When that prefix already
// means something else on the very same tag, the name gets another prefix
// ("AA", "AB", ... not in use). Two aliases that share a prefix are not
// declared on the root (that would be a duplicate attribute) but where they
// are needed, and the root element without namespace does not declare the
// default namespace that would move it. In the common case, where the
// output binds everything the scope holds, an element costs two flag tests
// more than the scope lookups.
//
// Concrete writers: CXmlTextWriter (XML text) and the Fast Infoset writer.
// A concrete writer asks the base for the names and for the declarations of
// the current start tag (StartElementScope, ResolvePrefix, GetDeclaration*)
// and only writes them: every namespace decision is taken here.

#ifndef VXBIND_WRITERS_XMLWRITER_H
#define VXBIND_WRITERS_XMLWRITER_H

#include <cstddef>
#include <map>
#include <vector>

#include "vxbind/base/Enums.h"
#include "vxbind/base/InstanceMonitor.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"
#include "vxbind/values/QName.h"

namespace VxVevAva5 {

class CXmlObjectBase;

class VXBIND_EXPORT CXmlWriter : public CInstanceMonitor {
 public:
  // Namespace URI -> prefix, ordered by URI (plain code-unit comparison).
  typedef std::map<String, String> NamespaceMap;

  // The state of one open element: its name, whether its start tag is still
  // open, how many child elements it has had, and its namespace scope.
  // The innermost context owns the chain of its ancestors.
  // Contexts are created by CXmlWriter::PushContext only.
  class CXmlWriterContext : public CInstanceMonitor {
   public:
    // Deletes the owned scope map and every ancestor (iteratively, so a
    // deep chain costs no stack).
    ~CXmlWriterContext();
    CXmlWriterContext(const CXmlWriterContext&) = delete;
    CXmlWriterContext& operator=(const CXmlWriterContext&) = delete;

    // The default namespace in force here: the own default namespace of the
    // nearest context (this one or an ancestor) that has a scope of its own.
    const String& GetScopeDefaultNamespace() const { return m_scopeOwner->m_ownDefaultNamespace; }
    // Every URI -> prefix mapping in force here.
    const NamespaceMap& GetScopeMap() const { return *m_scopeMap; }
    // The prefix of `namespaceUri` here; empty when the URI has none.
    const String& GetPrefix(const String& namespaceUri) const;
    // Gives the context a scope of its own if it shares its parent's (a copy
    // of the map), then makes `namespaceUri` its default namespace.
    void SetDefaultNamespace(const String& namespaceUri);
    // Gives the context a scope of its own if it shares its parent's (a copy
    // of the map and of the default namespace), then maps the URI to
    // `prefix`, replacing any earlier prefix of that URI.
    void AddNamespace(const String& namespaceUri, const String& prefix);

    // Number of child elements started inside this element so far.
    unsigned int GetChildCount() const { return m_childCount; }
    void IncrementChildCount() { ++m_childCount; }
    // True from the element's start until a child element or text closes
    // its start tag.
    bool IsStartTagOpen() const { return m_startTagOpen; }
    void SetStartTagOpen(bool open) { m_startTagOpen = open; }
    // 0 for the root element, parent's depth + 1 otherwise.
    unsigned int GetDepth() const { return m_depth; }
    const String& GetNamespaceUri() const { return m_namespaceUri; }
    const String& GetLocalName() const { return m_localName; }
    // The enclosing element's context; null for the root.
    CXmlWriterContext* GetParent() const { return m_parent; }
    // Set by a writer whose element header announced attributes, so that
    // their list is terminated when the start tag closes. Unused by text.
    bool GetAttributesAnnounced() const { return m_attributesAnnounced; }
    void SetAttributesAnnounced(bool announced) { m_attributesAnnounced = announced; }
    // True while the context shares its nearest ancestor's scope.
    bool GetInheritsScope() const { return m_inheritsScope; }
    // The prefix of the element's name as its start tag wrote it (empty for
    // an unprefixed name); the end tag repeats it.
    const String& GetNamePrefix() const { return m_namePrefix; }
    // True for an element marked as holding mixed content
    // (CXmlWriter::MarkMixedContent).
    bool IsMixed() const { return m_mixed; }

   private:
    friend class CXmlWriter;

    CXmlWriterContext();
    void TakeOwnScope(const String& defaultNamespace);

    unsigned int m_childCount = 0;
    bool m_startTagOpen = true;
    unsigned int m_depth = 0;
    String m_namespaceUri;
    String m_localName;
    CXmlWriterContext* m_parent = nullptr;
    bool m_attributesAnnounced = false;
    String m_ownDefaultNamespace;
    // The map in force here: the own map, or the scope owner's while the
    // scope is inherited (ancestors cannot change while a descendant is open,
    // so the pointer taken at creation stays right).
    NamespaceMap* m_scopeMap = nullptr;
    bool m_inheritsScope = false;
    bool m_ownsMap = false;
    // The nearest context with a scope of its own (this one or an ancestor).
    const CXmlWriterContext* m_scopeOwner = this;

    // Output bookkeeping (see CXmlWriter).
    String m_namePrefix;
    // Number of output bindings in force before this start tag; the ones
    // from here on are the tag's own declarations.
    size_t m_bindingMark = 0;
    // The output's default namespace outside this tag (an index of the
    // writer's bindings), set when the tag declares one and restored when
    // the element ends.
    size_t m_outerDefault = 0;
    // Serial number of this start tag; stamps the bindings it uses.
    unsigned long long m_tag = 0;
    // True when the output's default namespace here is the scope's.
    bool m_defaultBound = true;
    // True when every URI -> prefix entry of the scope map (but an empty
    // URI's) is bound in the output to its URI here.
    bool m_prefixesBound = true;
    // True when prefixes were used on this start tag without being stamped
    // (before m_prefixesBound became false while the tag was open).
    bool m_unstampedUses = false;
    // Mixed content (CXmlWriter::SetMixedRuns): null when there is none.
    const String* m_runs = nullptr;
    size_t m_runCount = 0;
    bool m_mixed = false;
  };

  explicit CXmlWriter(const unsigned short* className);
  // Copies the default namespace URI and the namespace map only; copying a
  // writer with open elements is not supported (the copy has none open).
  CXmlWriter(const CXmlWriter& other);
  CXmlWriter& operator=(const CXmlWriter& other);
  // Destroys every open context.
  virtual ~CXmlWriter();

  // With an element open, changes that element's default namespace for the
  // elements started inside it (nothing is written now; the first element
  // that needs the declaration carries it); otherwise sets the default
  // namespace that the root element declares (unless the root has no
  // namespace itself: then its first element in that namespace declares it).
  virtual void SetDefaultNamespace(const String& namespaceUri);
  // With an element open, maps the URI to `prefix` in that element's scope
  // (nothing is written now; the first name that needs the declaration
  // carries it); otherwise adds the mapping that the root element declares.
  // Keyed by URI: a second prefix for a URI replaces the first. Prefixes
  // shared by several URIs before the root, and prefixes of an empty URI,
  // are not declared on the root (XML cannot read that) but where needed.
  virtual void AddNamespace(const String& prefix, const String& namespaceUri);
  // Throws CVxException "An Element has not been closed." while an element
  // is open; otherwise does nothing.
  virtual void WriteEndDocument();

  // Writes a comment; the text is escaped.
  virtual void WriteComment(const String& text) = 0;
  // Writes the complete processing-instruction markup as given.
  virtual void WriteProcessingInstruction(const String& text) = 0;
  // Writes schema text raw into the open start tag, after its attributes.
  virtual void WriteInLineSchema(const String& text) = 0;
  // Opens an element; an empty URI means no namespace.
  virtual void WriteStartElement(const String& localName, const String& namespaceUri) = 0;
  // Writes text content of the innermost element.
  virtual void WriteText(const String& text) = 0;
  // Closes the innermost element.
  virtual void WriteEndElement() = 0;
  // Adds an attribute to the innermost element, whose start tag must still
  // be open. A namespaced attribute always carries a prefix.
  virtual void WriteAttribute(const String& localName, const String& namespaceUri,
                              const String& value) = 0;
  // Adds xsi:type naming `typeName` in `typeNamespaceUri`.
  virtual void WriteXsiType(const String& typeNamespaceUri, const String& typeName) = 0;
  // The text to write for a QName value in the content or an attribute of
  // the innermost element, whose start tag must still be open:
  // "prefix:local" with a prefix that the output binds to the value's
  // namespace there, declared on that start tag when none is bound yet (the
  // value's own prefix when it is free, a generated one otherwise); "local"
  // for a value without prefix in the default namespace in force, and for a
  // value without namespace where no default namespace is in force. A
  // value without namespace cannot be written where a default namespace is
  // in force: CVxException "The QName [%s] has no namespace, but a default
  // namespace is in force at the element [%s]".
  virtual String QNameToText(const CQName& value);

  // Namespace declarations for the start tag of the next element, taken
  // before its name gets a prefix: for content that names namespaces by
  // prefix where the writer cannot see it (QNames in untyped text or
  // attribute values). `pairs` holds `count` prefix, URI pairs; they are
  // read by the next WriteStartElement, not copied. Each prefix is declared
  // unless the output binds it to that URI already, the tag binds it
  // otherwise, it begins with "xml", or the URI is empty (XML 1.0 cannot
  // undeclare a prefix), and becomes the scope's prefix for its URI, so that
  // the element's name and the names inside use it. Pairs for the default
  // namespace (prefix "") are passed over: the writer chooses that one for
  // the names.
  void SetNextDeclarations(const String* const* pairs, size_t count) {
    m_nextDeclarations = count != 0 ? pairs : nullptr;
    m_nextDeclarationCount = count;
  }

  // The schema type declared for the element of the object about to be
  // written: its name and namespace, set by the member that writes the
  // object, so that the object names its own type with xsi:type only when
  // it is another. Null where no member says (a document's root). The
  // texts are the caller's; the member sets them back when it is done.
  void SetDeclaredType(const String* typeName, const String* typeNamespaceUri) {
    m_declaredTypeName = typeName;
    m_declaredTypeNamespace = typeNamespaceUri;
  }
  const String* GetDeclaredTypeName() const { return m_declaredTypeName; }
  const String* GetDeclaredTypeNamespace() const { return m_declaredTypeNamespace; }

  // Mixed content: the text runs of the innermost open element, kept in
  // place while whoever writes its children knows nothing of them. Run k is
  // written just before the element's k-th child element starts (counted
  // from 0), the runs left over just before its end tag. The runs are not
  // copied: they must stay as they are until the element ends. Nothing
  // happens without an open element.
  // The element is then mixed (MarkMixedContent).
  void SetMixedRuns(const String* runs, size_t count) {
    if (m_currentContext != nullptr) {
      m_currentContext->m_runs = count != 0 ? runs : nullptr;
      m_currentContext->m_runCount = count;
      m_currentContext->m_mixed = true;
    }
  }
  // Says that the innermost open element holds mixed content, its text in
  // place between its children: an indenting writer adds no white space
  // directly inside it (its children's own content is indented as usual).
  void MarkMixedContent() {
    if (m_currentContext != nullptr) m_currentContext->m_mixed = true;
  }

  // True only for a writer that records content instead of writing it
  // (CXmlGeneratedClass::GetMixedContent): objects then tell it, with
  // NoteObject, that they are about to start their element. Real writers
  // are never told (NoteObject does nothing here).
  bool GetRecordsObjects() const { return m_recordsObjects; }
  virtual void NoteObject(const CXmlObjectBase* object);

 protected:
  // The two-letter generated prefix number n: 0 "AA", 1 "AB", 25 "AZ", 26 "BA".
  static String NsIntToString(int n);
  // The first generated prefix ("AA", "AB", ...) that is not a value of `map`.
  static String GetUniquePrefix(const NamespaceMap& map);

  // The innermost open element's context, or null when none is open.
  CXmlWriterContext* GetCurrentContext() const { return m_currentContext; }
  const String& GetDefaultNamespaceUri() const { return m_defaultNamespaceUri; }
  const NamespaceMap& GetNamespaceMap() const { return m_namespaceMap; }

  // Opens an element whose name is written the XML text way: unprefixed
  // when it has no namespace or is in the scope's default namespace,
  // prefixed otherwise (a prefix generated and declared here when the scope
  // has none). The new context becomes the innermost one; the caller has
  // already updated the parent (child count, start tag). On return the
  // context holds the name's prefix (GetNamePrefix) and the start tag's
  // declarations are decided so far (GetDeclaration*): for the root, the
  // default namespace and the aliases given before it; for any element,
  // what its name needs to read back in its namespace. For the root the
  // declaration of its own name, if any, comes first.
  CXmlWriterContext& StartElementScope(const String& localName, const String& namespaceUri);
  // The prefix that a name in `namespaceUri` (not empty) carries on the
  // innermost start tag, which must be open: the scope's prefix (generated
  // and added to the scope when it has none; "xml" for the XML namespace),
  // or, when that prefix is bound to another namespace on this very tag, a
  // prefix declared here for the URI or a fresh one. When the output does
  // not bind the prefix to the URI yet, one declaration is added to the
  // start tag (the last one) and `declared` is set. The reference stays
  // valid until the writer's namespaces change again.
  const String& ResolvePrefix(const String& namespaceUri, bool& declared);
  // QNameToText's decision; `declared` says that a declaration was added to
  // the start tag (the last one), which a writer that writes declarations
  // as they come must write now. An element must be open.
  String ResolveQName(const CQName& value, bool& declared);
  // Ends the innermost element: the declarations of its start tag go out of
  // force and its parent becomes the innermost element.
  void PopContext();

  // Concrete writers call these first in WriteStartElement and in
  // WriteEndElement: they write (with WriteText) the mixed-content run due
  // in the innermost element before its next child, or the runs left before
  // its end tag (see SetMixedRuns). One test when there are none.
  void SetRecordsObjects(bool records) { m_recordsObjects = records; }

  void WriteRunBeforeChild() {
    if (m_currentContext != nullptr && m_currentContext->m_runs != nullptr)
      WriteDueRuns(*m_currentContext, false);
  }
  void WriteRunsBeforeEnd() {
    if (m_currentContext != nullptr && m_currentContext->m_runs != nullptr)
      WriteDueRuns(*m_currentContext, true);
  }

  // The declarations of the innermost start tag so far, in the order they
  // are to be written: prefix (empty for the default namespace) and URI.
  // None while no element is open.
  size_t GetDeclarationCount() const {
    return m_currentContext == nullptr ? 0 : m_bindings.size() - m_currentContext->m_bindingMark;
  }
  const String& GetDeclarationPrefix(size_t index) const {
    return m_bindings[m_currentContext->m_bindingMark + index].prefix;
  }
  const String& GetDeclarationUri(size_t index) const {
    return m_bindings[m_currentContext->m_bindingMark + index].namespaceUri;
  }

 private:
  // One binding in force in the output: a prefix (empty for the default
  // namespace) and its URI, and the last start tag that used it.
  struct Binding {
    String prefix;
    String namespaceUri;
    unsigned long long usedByTag;
  };
  static constexpr size_t kNoDefault = static_cast<size_t>(-1);

  CXmlWriterContext* PushContext(const String& localName, const String& namespaceUri);
  void WriteDueRuns(CXmlWriterContext& context, bool atEnd);
  void DeclareRootNamespaces(CXmlWriterContext& root, bool declareDefault);
  void Declare(CXmlWriterContext& context, const String& prefix, const String& namespaceUri);
  const String& ResolveUncommon(CXmlWriterContext& context, const String* prefix,
                                const String& namespaceUri);
  const String& ResolveUnbound(CXmlWriterContext& context, const String& prefix,
                               const String& namespaceUri);
  String FreshPrefix(const CXmlWriterContext& context) const;
  // One of SetNextDeclarations' pairs, on the start tag being opened.
  void DeclareForContent(CXmlWriterContext& context, const String& prefix,
                         const String& namespaceUri);
  // Whether `prefix` may be declared for a new namespace here: neither a
  // prefix of the scope nor bound in the output, and not reserved (xml...).
  bool IsFreePrefix(const CXmlWriterContext& context, const String& prefix) const;
  const String& OutputDefaultNamespace() const;

  String m_defaultNamespaceUri;
  CXmlWriterContext* m_currentContext = nullptr;
  NamespaceMap m_namespaceMap;
  // Ended contexts kept for reuse (linked through their parent pointer), so
  // that writing an element allocates nothing once the writer is warm.
  CXmlWriterContext* m_freeContexts = nullptr;
  // The bindings in force in the output, outermost first; the first one
  // binds "xml", which every reader knows without a declaration.
  std::vector<Binding> m_bindings;
  // The one among them that is the default namespace, or kNoDefault.
  size_t m_defaultBinding = kNoDefault;
  unsigned long long m_tagCount = 0;
  const String* m_declaredTypeName = nullptr;
  const String* m_declaredTypeNamespace = nullptr;
  bool m_recordsObjects = false;
  // SetNextDeclarations' pairs, until the next start tag takes them.
  const String* const* m_nextDeclarations = nullptr;
  size_t m_nextDeclarationCount = 0;
};

}  // namespace VxVevAva5

#endif  // VXBIND_WRITERS_XMLWRITER_H

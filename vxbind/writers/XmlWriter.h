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
// they change only that element's scope (and its descendants') and nothing
// is declared for them.
//
// Concrete writers: CXmlTextWriter (XML text) and the Fast Infoset writer.

#ifndef VXBIND_WRITERS_XMLWRITER_H
#define VXBIND_WRITERS_XMLWRITER_H

#include <map>

#include "vxbind/base/Enums.h"
#include "vxbind/base/InstanceMonitor.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

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
  };

  explicit CXmlWriter(const unsigned short* className);
  // Copies the default namespace URI and the namespace map only; copying a
  // writer with open elements is not supported (the copy has none open).
  CXmlWriter(const CXmlWriter& other);
  CXmlWriter& operator=(const CXmlWriter& other);
  // Destroys every open context.
  virtual ~CXmlWriter();

  // With an element open, changes that element's default namespace (no
  // declaration is written); otherwise sets the default namespace that the
  // root element declares.
  virtual void SetDefaultNamespace(const String& namespaceUri);
  // With an element open, maps the URI to `prefix` in that element's scope
  // (no declaration is written); otherwise adds the mapping that the root
  // element declares. Keyed by URI: a second prefix for a URI replaces the
  // first.
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

 protected:
  // The two-letter generated prefix number n: 0 "AA", 1 "AB", 25 "AZ", 26 "BA".
  static String NsIntToString(int n);
  // The first generated prefix ("AA", "AB", ...) that is not a value of `map`.
  static String GetUniquePrefix(const NamespaceMap& map);

  // The innermost open element's context, or null when none is open.
  CXmlWriterContext* GetCurrentContext() const { return m_currentContext; }
  const String& GetDefaultNamespaceUri() const { return m_defaultNamespaceUri; }
  const NamespaceMap& GetNamespaceMap() const { return m_namespaceMap; }

  // Creates the context of a new element and makes it the innermost one.
  // Inside an open element: a child context that shares the parent's scope.
  // Otherwise: a root context whose own scope is a copy of the writer's
  // default namespace and namespace map. The caller has already updated the
  // parent (child count, start tag).
  CXmlWriterContext* PushContext(const String& localName, const String& namespaceUri);
  // Ends the innermost context; its parent becomes the innermost one.
  void PopContext();
  // The prefix of `namespaceUri` in the scope of `context`. When the URI has
  // none, generates one with GetUniquePrefix, adds it to `context` and sets
  // `added`, so the caller declares it.
  const String& GetOrAddPrefix(CXmlWriterContext& context, const String& namespaceUri, bool& added);

 private:
  String m_defaultNamespaceUri;
  CXmlWriterContext* m_currentContext = nullptr;
  NamespaceMap m_namespaceMap;
  // Ended contexts kept for reuse (linked through their parent pointer), so
  // that writing an element allocates nothing once the writer is warm.
  CXmlWriterContext* m_freeContexts = nullptr;
};

}  // namespace VxVevAva5

#endif  // VXBIND_WRITERS_XMLWRITER_H

// -----------------------------------------------------------------------------
// File: XmlDocument.h
// -----------------------------------------------------------------------------
//
// CXmlDocument, CXmlElement, CXmlAttribute: the in-memory tree into which all
// input is read before it is bound to objects.
//
// A document reads XML text, bytes or a file completely (byte input that is
// gzip or zlib data is inflated first) and owns the resulting tree: for every
// element its namespace URI, local name, character content (with the place
// of each child element in it, for mixed content) and attributes, in
// document order, the namespace bindings in scope at each element, and for
// the document the prefix declarations met anywhere in the input. Comments,
// processing instructions and the document type are not kept.
//
//   CXmlDocument doc(SchemaType_Default);
//   doc.LoadXml(VX_T("<a xmlns='urn:a'><b x='1'>text</b></a>"));
//   for (CXmlElement* e = doc.GetDocumentElement()->GetFirstElement(); e;
//        e = e->GetNextSiblingElement()) { ... e->GetText() ... }
//
// Read while binding. The library's reading entry points (FromXml*) use a
// document that parses its input piece by piece as the accessors ask for
// elements and texts not read yet, and free the subtrees that binding is
// done with (BeginRead*, FinishRead, ReleaseChildren below). The Load*
// functions always build the whole tree.
//
// Storage. Elements, attributes and their text live in pages owned by the
// document and are freed page by page with it: building costs no heap block
// per node, and destroying a tree of any depth takes no recursion. Names are
// stored once per document. The `String` objects that the accessors return
// for texts and attribute values are made on first access and then kept by
// the document, so repeated calls are cheap. Pointers and references handed
// out stay valid until the document is loaded again or destroyed.
//
// A document, its elements and attributes must be used by one thread at a
// time (the accessors fill those caches). They cannot be copied: a tree has
// exactly one owner.

#ifndef VXBIND_DOCUMENT_XMLDOCUMENT_H
#define VXBIND_DOCUMENT_XMLDOCUMENT_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "vxbind/base/Enums.h"
#include "vxbind/base/InstanceMonitor.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

class CXmlDocument;
class CXmlElement;
class CExpatReader;
class CFastInfosetReader;

namespace detail {
struct AttributeInit;
class ByteSource;
struct PullState;
struct DocumentStorage;
struct ElementCache;
struct InternedName;
}  // namespace detail

// One attribute of an element. Namespace declarations are not attributes when
// the document was read with namespace processing (any schema type but 2).
class VXBIND_EXPORT CXmlAttribute : public CInstanceMonitor {
 public:
  CXmlAttribute(const CXmlAttribute&) = delete;
  CXmlAttribute& operator=(const CXmlAttribute&) = delete;

  const String& GetLocalName() const;
  // Empty for an attribute without namespace.
  const String& GetNamespaceURI() const;
  const String& GetValue() const;

  // True for xsi:type, xsi:schemaLocation, xsi:noNamespaceSchemaLocation and
  // the like: the namespace URI is the XML Schema instance namespace or the
  // xmlns namespace, and the local name is "xmlns", "type", "schemaLocation"
  // or "noNamespaceSchemaLocation". Binding skips such attributes.
  bool IsNamespaceAttribute() const;

  // The value's `length` units (not NUL-terminated), without making the
  // String that GetValue keeps; valid as long as the document's tree.
  const unsigned short* GetValueData(size_t& length) const {
    length = m_valueLength;
    return m_value;
  }

 private:
  friend class CXmlDocument;
  friend class CXmlElement;
  CXmlAttribute() : CInstanceMonitor(VX_T("CXmlAttribute")) {}

  const detail::InternedName* m_name = nullptr;  // also leads to the document
  const unsigned short* m_value = nullptr;       // in the document's pages
  uint32_t m_valueLength = 0;
  mutable const String* m_valueString = nullptr;  // made by GetValue
};

// One element. Children form a singly linked list in document order.
class VXBIND_EXPORT CXmlElement : public CInstanceMonitor {
 public:
  CXmlElement(const CXmlElement&) = delete;
  CXmlElement& operator=(const CXmlElement&) = delete;

  const CXmlDocument* GetDocument() const;
  // First child element, or null.
  CXmlElement* GetFirstElement() const {
    if (m_firstChild != nullptr || (m_attributeCapacity & kOpenBit) == 0) return m_firstChild;
    return PullFirstElement();
  }
  // Next sibling element, or null.
  CXmlElement* GetNextSiblingElement() const {
    if (m_nextSibling != nullptr || (m_attributeCapacity & kTailBit) == 0) return m_nextSibling;
    return PullNextSibling();
  }
  const String& GetLocalName() const;
  // Empty for an element without namespace.
  const String& GetNamespaceURI() const;
  // All character data directly inside the element, in document order,
  // whitespace between children included, carriage returns left out.
  const String& GetText() const;
  // Where this element stands in its parent's text: the number of units of
  // the parent's GetText() that came before its start tag (0 for the
  // document element). With it, mixed content reads in document order: the
  // text before the first child is the parent's text up to the child's
  // position, the text between two children runs from one position to the
  // next, the rest follows the last child.
  uint32_t GetTextPosition() const { return m_textPosition; }
  // The run of this element's text between the child elements `after` and
  // `before` (null `after`: from the start; null `before`: to the end), as
  // a new String. The children must be this element's, `after` before
  // `before`; positions out of order give an empty run.
  String GetTextBetween(const CXmlElement* after, const CXmlElement* before) const;
  // The same run's `length` units (not NUL-terminated), without a copy.
  const unsigned short* GetTextRunData(const CXmlElement* after, const CXmlElement* before,
                                       size_t& length) const;
  // The attributes in document order (an empty vector when there are none).
  const std::vector<CXmlAttribute*>& GetAttributes() const;
  // Value of the first attribute with this local name and namespace URI, or
  // a reference to a shared empty string when there is none.
  const String& GetAttribute(const String& localName, const String& namespaceUri) const;
  // The namespace URI that `prefix` is bound to where this element stands,
  // as qualified names in its attribute values and text are to be read: the
  // declaration on this element or on its nearest ancestor that declares the
  // prefix. "" asks for the default namespace. "xml" is always bound (to
  // http://www.w3.org/XML/1998/namespace). Returns false, and leaves `uri`
  // as it was, when no declaration in scope binds the prefix or the nearest
  // one undeclares it (xmlns=""), and always for a document read without
  // namespace processing (schema type 2). Takes time logarithmic in the
  // number of declarations of the prefix, whatever the depth.
  bool LookupNamespaceURI(const String& prefix, String& uri) const;
  // A prefix ("" for the default namespace) and the URI it stands for (""
  // for an undeclaration), as the two calls below give them. The strings
  // belong to the document.
  struct NamespaceBinding {
    const String* prefix;
    const String* uri;
  };
  // Appends to `bindings` the declarations made on this element's own start
  // tag, in the order read. Takes time logarithmic in the number of
  // declarations in the document; nothing is kept for elements without any.
  void GetNamespaceDeclarations(std::vector<NamespaceBinding>& bindings) const;
  // Appends every binding in force at this element (declared here or on an
  // ancestor), one per prefix in prefix order, leaving out the default
  // namespace where none is in force and "xml". What content needs that is
  // to be read again away from its ancestors.
  void GetNamespacesInScope(std::vector<NamespaceBinding>& bindings) const;

  // The same data without making the Strings and the list that GetText and
  // GetAttributes keep, for code that copies a whole tree: the text's
  // `length` units (not NUL-terminated), and the attributes by index.
  const unsigned short* GetTextData(size_t& length) const {
    if ((m_attributeCapacity & kOpenBit) != 0) PullEnd();
    length = m_textLength;
    return m_text;
  }
  size_t GetAttributeCount() const { return m_attributeCount; }
  const CXmlAttribute& GetAttributeAt(size_t index) const { return m_attributes[index]; }

  // The input line (from 1) on which the element's start tag begins, as the
  // text reader saw it; 0 when the input had no lines to give (readers of
  // other formats, trees built in code).
  uint32_t GetLineNumber() const { return m_line; }
  // The column (from 1) where the start tag begins; 0 when unknown (built
  // in code, read from Fast Infoset).
  uint32_t GetColumnNumber() const { return m_column; }

 protected:
  explicit CXmlElement(const CXmlDocument* document);
  ~CXmlElement() = default;

  // Appends a new empty child at the end of the child list and returns it.
  CXmlElement* CreateNewChildElement();
  void SetElementName(const unsigned short* localName);
  void SetNamespace(const unsigned short* namespaceUri);
  void AddAttribute(const String& localName, const String& value, const String& namespaceUri);
  // Appends `length` units (a negative length: up to the terminating NUL).
  void AppendText(const unsigned short* text, int length);
  void AppendText(const unsigned short* text);

 private:
  friend class CXmlDocument;
  friend class CExpatReader;

  void AppendRun(const unsigned short* text, size_t length);
  CXmlAttribute* NewAttribute();

  // A document read while binding builds its elements as they are asked
  // for. Two bits of m_attributeCapacity (which only trees built in code
  // use as a capacity) say what may still come: kOpenBit, the element has
  // not ended (children and text may follow); kTailBit, it is the last
  // child of an element that has not ended (a sibling may follow). The
  // accessors test them before they read on; a tree built in code that
  // happens to have them set only costs a call that finds nothing to read.
  static constexpr uint32_t kOpenBit = uint32_t{1} << 31;
  static constexpr uint32_t kTailBit = uint32_t{1} << 30;
  static constexpr uint32_t kPendingBits = kOpenBit | kTailBit;
  CXmlElement* PullFirstElement() const;
  CXmlElement* PullNextSibling() const;
  void PullEnd() const;

  CXmlElement* m_nextSibling = nullptr;
  CXmlElement* m_firstChild = nullptr;
  CXmlElement* m_lastChild = nullptr;
  const detail::InternedName* m_name;     // also leads to the document
  CXmlAttribute* m_attributes = nullptr;  // contiguous, in the document's pages
  uint32_t m_attributeCount = 0;
  uint32_t m_attributeCapacity = 0;
  unsigned short* m_text = nullptr;  // in the document's pages
  uint32_t m_textLength = 0;
  uint32_t m_textCapacity = 0;
  mutable detail::ElementCache* m_cache = nullptr;  // made by GetText and GetAttributes
  uint32_t m_index = 0;  // number in document order, for the namespace bindings
  uint32_t m_line = 0;   // in the padding after m_index
  uint32_t m_textPosition = 0;  // the parent's text length when this element was added
  uint32_t m_column = 0;        // in the padding after m_textPosition
};

class VXBIND_EXPORT CXmlDocument : public CInstanceMonitor {
 public:
  // An empty document. `schemaType` 2 reads without namespace processing.
  explicit CXmlDocument(SchemaType schemaType = SchemaType_Default);
  CXmlDocument(const CXmlDocument&) = delete;
  CXmlDocument& operator=(const CXmlDocument&) = delete;
  virtual ~CXmlDocument();

  // Each load first discards whatever the document held. On failure the
  // document keeps what the reader built up to the error (its next load or
  // its destructor frees it). Running out of memory, Expat's and zlib's
  // included, throws std::bad_alloc and leaves the document the same way.

  // Reads the file whole and parses it as bytes. A file that cannot be read
  // throws "Failed to open the file [%s] Error [0x%08x]", "Failed to get the
  // size of the file [%s] Error [0x%08x]" or "Failed to read the contents of
  // the file [%s] Error [0x%08x]" (a directory), with the path and the errno
  // value.
  void Load(const unsigned short* path);
  // Parses the bytes (read during this call only, never kept): gzip and zlib
  // data is inflated first; the text's encoding comes from its byte order
  // mark or XML declaration, UTF-8 otherwise. A length of 0 throws "XML
  // Stream is empty!". Compressed input may expand to 64 MiB, or to 256
  // times its size where that is more (ordinary XML compresses 5 to 50
  // times); beyond that it is refused with "Compressed input expands to more
  // than 256 times its size; it is not read", so that a decompression bomb
  // cannot take all memory.
  void LoadXmlStream(unsigned char* const bytes, uint32_t length);
  // Parses 8-bit text (its encoding as above). "" throws "XML String is
  // empty!".
  void LoadXml(const char* text);
  // Parses UTF-16 text. "" throws "XML String is empty!"; a text of more
  // than SIZE_MAX / 2 units, whose bytes cannot be counted, throws "The XML
  // String is too long: more than %I64u units".
  void LoadXml(const unsigned short* text);

  // Strict XML, off by default; applies to the loads that follow. When on,
  // the text reader finishes the parse: input that ends before its root
  // element is closed throws CVxException "The document ends before its
  // root element is closed at line %d", and anything after the root
  // element but comments, processing instructions and white space throws
  // Expat's message ("junk after document element at line %d" and the
  // like). When off, such input keeps what was read up to its end (junk
  // that Expat meets before the input ends is refused either way).
  void SetStrictXml(bool strict) { m_strictXml = strict; }
  bool GetStrictXml() const { return m_strictXml; }

  // The root element, or null before a successful load.
  CXmlElement* GetDocumentElement() const { return m_documentElement; }
  // The namespace URI last declared for `prefix` anywhere in the input ("" is
  // the default namespace), or "" when the prefix was never declared. The
  // map is flat: a prefix bound to one namespace in one part of the document
  // and to another elsewhere gives the later one everywhere; to read a
  // qualified name use CXmlElement::LookupNamespaceURI, which answers for
  // the element it belongs to.
  String LookupNamespaceFromAlias(const unsigned short* prefix) const;
  SchemaType GetSchemaType() const { return m_schemaType; }

  // -- Reading while binding (the library's reading entry points) ----------
  // Such a document parses its input piece by piece as its elements are
  // asked for, and frees the subtrees that binding is done with. The Load*
  // functions above never do.

  // Starts reading `source` (bytes of a file or a stream), which the
  // document then owns, and parses up to the root element's start tag.
  // gzip and zlib data is inflated as it is read, without the expansion
  // limit of byte input: nothing of it is held beyond the piece being
  // parsed. Fast Infoset input is read whole, as by Load. Throws as the
  // loads do for input without a root element.
  void BeginRead(std::unique_ptr<detail::ByteSource> source);
  // Byte input as LoadXmlStream takes it (inflated whole first, with its
  // expansion limit), and 8-bit and UTF-16 text as LoadXml takes it, read
  // while binding. The caller's buffer must outlive the reading.
  void BeginReadBytes(const unsigned char* bytes, uint32_t length);
  void BeginReadText(const char* text);
  void BeginReadText(const unsigned short* text);
  // Parses the rest of the input after the binding, building nothing.
  // Throws what a whole load would have thrown for the input (a syntax
  // error anywhere, junk after the root, strict XML's end before the root
  // is closed, a file that fails to read): called after the binding,
  // failed or not, so that a failure of the input wins over the binding's.
  void FinishRead();
  // Frees the children of `parent` between its children `after` (null:
  // from the first) and `upTo` (null: to the last, once the parent has
  // ended), both excluded, subtrees and all; with `dropText`, also the
  // parent's text read so far when it is all whitespace. Does nothing
  // unless the document is read while binding, or when `after` and `upTo`
  // are not children of `parent` in that order. The caller guarantees that nothing will ask for the
  // freed elements again and that they have ended (the binding moved past
  // them). Returns the number of children freed.
  static size_t ReleaseChildren(CXmlElement* parent, const CXmlElement* after,
                                const CXmlElement* upTo, bool dropText);
  // Whether `element` belongs to a document read while binding.
  static bool IsReadWhileBinding(const CXmlElement* element);
  // The bytes of pages that the tree of the last document emptied on this
  // thread (reloaded or destroyed) took, which is the most it held at once:
  // elements, attributes and their texts, not the parser's buffers. For
  // tests and measurements.
  static size_t GetLastTreeBytes();

 protected:
  // Frees the tree, the input, the open-element stack and the prefix map.
  virtual void Cleanup();

 private:
  friend class CXmlElement;
  friend class CXmlAttribute;
  friend class CExpatReader;
  friend class CFastInfosetReader;

  // Building operations of the readers. Each Add*Element pushes the new
  // element on the open-element stack.
  CXmlElement* AddDocElement(const unsigned short* namespaceUri, const unsigned short* localName);
  CXmlElement* AddChildElement(const unsigned short* namespaceUri, const unsigned short* localName);
  static void AddElementAttribute(CXmlElement* element, const String& localName,
                                  const String& value, const String& namespaceUri);
  // A namespace declaration ("" prefix: the default namespace; "" or null
  // URI: an undeclaration) of the element that the reader adds next, made
  // before that element is added, as Expat reports them. It enters the flat
  // prefix map and is in force at that element and its descendants; the
  // document ends its scope by itself when the element has ended.
  void AddNamespaceDeclaration(const unsigned short* prefix, const unsigned short* uri);
  // Appends up to `length` units, stopping early at a NUL, leaving out every
  // carriage return.
  static void AppendTextExcludingCR(CXmlElement* element, const unsigned short* text,
                                    size_t length);
  static void AppendTextExcludingCR(CXmlElement* element, const unsigned short* text);
  // Appends `length` bytes of UTF-8 holding no CR, converted in place; false
  // (nothing appended) when the text could grow past what an element holds,
  // for the caller to append it converted by AppendTextExcludingCR.
  static bool AppendTextUtf8(CXmlElement* element, const char* text, size_t length);

  // Fast path of the text reader: a new element and its attributes, in
  // UTF-8, names given as "uri|local" or "local", `attributes` as name,
  // value, ..., null.
  CXmlElement* AddElementExpanded(const char* expandedName, const char** attributes);

  // Fast path of the Fast Infoset reader: a new element whose name is
  // interned already (the document element when there is none yet), pushed
  // on the open-element stack.
  CXmlElement* AddElementInterned(const detail::InternedName* name);
  // Gives an element without attributes its `count` attributes at once; the
  // values must live in the document's pages already (they are not copied).
  void SetElementAttributes(CXmlElement* element, const detail::AttributeInit* attributes,
                            uint32_t count);

  CXmlElement* NewElement(const detail::InternedName* name) const;
  // The parent of the element about to be added (null for the document
  // element); ends the declaration scopes of the elements closed since.
  CXmlElement* ParentOfNextElement(detail::DocumentStorage& storage);
  // Links `e` as the last child of `parent` (or as the document element)
  // and opens it.
  void OpenElement(CXmlElement* parent, CXmlElement* e);
  // Puts back the bindings that declarations of elements now ended replaced,
  // from the next element on.
  void EndDeclarationScopes(detail::DocumentStorage& storage);
  // The pages, names and caches of the current tree; made on first use.
  detail::DocumentStorage& Storage() const { return m_storage ? *m_storage : MakeStorage(); }
  detail::DocumentStorage& MakeStorage() const;
  void Parse(bool asText);
  void StartPull(std::unique_ptr<detail::ByteSource> source);
  void InflateInput();
  void ReleaseInput();
  // Reading while binding: parses the next piece of the input. False when
  // nothing more will come (the input ended or failed): every element is
  // then complete as it stands.
  bool PullPiece();
  void FreezeOpenElements();
  void ReleaseSubtree(CXmlElement* root);
  void ElementEnded(CXmlElement* element);

  CXmlElement* m_documentElement = nullptr;
  std::vector<CXmlElement*> m_openElements;
  std::map<String, String> m_prefixes;
  // The bytes being parsed: a byte order mark to read first (UTF-16 text
  // only), then m_inputData. The data is the caller's own buffer for the
  // duration of a load when it can be parsed as it is (it is only read), or
  // m_input when it had to be read from a file or inflated.
  unsigned char m_inputBom[2] = {0, 0};
  size_t m_inputBomLength = 0;
  const unsigned char* m_inputData = nullptr;
  size_t m_inputLength = 0;
  std::vector<unsigned char> m_input;
  SchemaType m_schemaType;
  bool m_strictXml = false;
  mutable std::unique_ptr<detail::DocumentStorage> m_storage;
  std::unique_ptr<detail::PullState> m_pull;
};

}  // namespace VxVevAva5

#endif  // VXBIND_DOCUMENT_XMLDOCUMENT_H

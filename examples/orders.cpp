// Builds a small order in memory, prints it as XML text, and reads the text
// back into a new order; then writes an order as UTF-8, UTF-16 and gzip
// bytes, as a UTF-16 file and as a Fast Infoset document, and reads each of
// them back.
//
// COrder and CItem are written by hand here, the way generated classes
// write and read themselves: each one opens its element, adds its
// attributes, writes its content (text, or its children through their own
// ToXml_Int) and closes the element; reading, it takes its attributes and
// text from its element of the document and hands each child element to a
// new child object. ToXml() and FromXml() do the rest: they create the
// writer or the document, and ask the root object to write or read itself.
#include <vxbind/vxbind.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace VxVevAva5;

namespace {

const unsigned short* const kOrdersNs = VX_T("urn:example:orders");
const unsigned short* const kPartsNs = VX_T("urn:example:parts");

// <item p:sku="..." quantity="...">description</item>
class CItem : public CXmlObjectBase {
 public:
  CItem() { SetElementName(VX_T("item")); }
  CItem(const unsigned short* sku, int quantity, const unsigned short* description)
      : m_sku(Utf16::Make(sku)),
        m_quantity(quantity),
        m_description(Utf16::Make(description)) {
    SetElementName(VX_T("item"));
  }

  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return kOrdersNs; }
  const String& GetSku() const { return m_sku; }
  int GetQuantity() const { return m_quantity; }
  const String& GetDescription() const { return m_description; }

 protected:
  String GetTargetNamespace() const override { return kOrdersNs; }

  void ToXml_Int(CXmlWriter* writer, bool /*root*/, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& /*context*/, bool /*optional*/) const override {
    writer->WriteStartElement(GetElementName(), namespaceUri);
    writer->WriteAttribute(VX_T("sku"), kPartsNs, m_sku);  // in the second namespace
    writer->WriteAttribute(VX_T("quantity"), String(), Utf16::FromInt64(m_quantity));
    writer->WriteText(m_description);  // '&', '<', '"' ... are escaped by the writer
    writer->WriteEndElement();
  }

  // Takes the attributes and the text of `element`; an item has no
  // children, so `current` is handed back unconsumed.
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& /*context*/, bool) override {
    m_sku = element->GetAttribute(VX_T("sku"), kPartsNs);
    const String& quantity = element->GetAttribute(VX_T("quantity"), String());
    const unsigned short* end = nullptr;
    bool overflow = false;
    int32_t value = Utf16::ToInt32(quantity.c_str(), &end, 10, &overflow);
    if (quantity.empty() || *end != 0 || overflow)
      throw CVxInvalidValueException(
          FormatString(VX_T("Invalid quantity [%s]"), quantity.c_str()));
    m_quantity = value;
    m_description = element->GetText();
    return current;
  }

 private:
  String m_sku;
  int m_quantity;
  String m_description;
};

// <order customer="..."><item/>...</order>, holding its items by counted
// references: the items live as long as the order does.
class COrder : public CXmlObjectBase {
 public:
  explicit COrder(const unsigned short* customer) : m_customer(Utf16::Make(customer)) {
    SetElementName(VX_T("order"));
  }

  void Add(CItem* item) { m_items.push_back(item); }
  const String& GetCustomer() const { return m_customer; }
  const std::vector<CSmartPtr<CItem>>& GetItems() const { return m_items; }

  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return kOrdersNs; }

 protected:
  String GetTargetNamespace() const override { return kOrdersNs; }

  void ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool /*optional*/) const override {
    if (root) {
      // Declared on the root element: the default namespace and a prefix
      // for the parts namespace (without it the writer would invent "AA").
      writer->SetDefaultNamespace(namespaceUri);
      writer->AddNamespace(VX_T("p"), kPartsNs);
    }
    writer->WriteStartElement(GetElementName(), namespaceUri);
    writer->WriteAttribute(VX_T("customer"), String(), m_customer);
    for (const CSmartPtr<CItem>& item : m_items)
      CXmlObjectBase::ToXml_Int(item, writer, false, namespaceUri, context, false);
    writer->WriteEndElement();
  }

  // Takes the customer, then reads one CItem per <item> child; any other
  // child is an error, reported inside the element it occurred in.
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& context, bool) override {
    SetElementName(element->GetLocalName().c_str());
    m_customer = element->GetAttribute(VX_T("customer"), String());
    m_items.clear();
    for (; current != nullptr; current = current->GetNextSiblingElement()) {
      if (!DoesElementNameMatch(context, current, VX_T("item"), kOrdersNs))
        throw CVxValidationException(FormatString(VX_T("Unexpected element [%s]"),
                                                  current->GetLocalName().c_str()));
      CSmartPtr<CItem> item = new CItem();
      try {
        CXmlObjectBase::FromXml_Int(item, current, current->GetFirstElement(), context);
      } catch (const CVxException& e) {
        throw CVxException(FormatString(VX_T("Failed to process the element [%s]"),
                                        current->GetLocalName().c_str()),
                           e);
      }
      m_items.push_back(item);
    }
    return nullptr;
  }

 private:
  String m_customer;
  std::vector<CSmartPtr<CItem>> m_items;
};

void Print(const char* title, const String& xml) {
  bool endsWithLine = !xml.empty() && xml.back() == '\n';
  std::printf("--- %s\n%s%s", title, Utf16::ToUtf8(xml).c_str(), endsWithLine ? "" : "\n");
}

}  // namespace

int main() {
  try {
    CSmartPtr<COrder> order = new COrder(VX_T("Smith & Sons"));
    order->Add(new CItem(VX_T("B-12"), 100, VX_T("Bolts, M6 \"hex\" <stainless>")));
    order->Add(new CItem(VX_T("N-7"), 250, VX_T("Nuts & washers")));

    const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext();
    Print("indented, LF", order->ToXml(true, true, EOLType_LF, context));
    Print("not indented, no declaration, LF", order->ToXml(false, false, EOLType_LF, context));
    // CR LF line ends: invisible on a terminal, but there in the text.
    String crlf = order->ToXml(true, true, EOLType_CRLF, context);
    Print("indented, CRLF", crlf);
    std::printf("(%zu characters, of which %zu are line ends)\n", crlf.size(),
                static_cast<size_t>(std::count(crlf.begin(), crlf.end(), '\r')));

    // Reading the indented text back gives an equal order.
    CSmartPtr<COrder> copy = new COrder(VX_T(""));
    copy->FromXml(crlf.c_str(), context);
    std::printf("--- read back: order for \"%s\" with %zu items",
                Utf16::ToUtf8(copy->GetCustomer()).c_str(), copy->GetItems().size());
    for (const CSmartPtr<CItem>& item : copy->GetItems())
      std::printf("; %s x%d \"%s\"", Utf16::ToUtf8(item->GetSku()).c_str(),
                  static_cast<int>(item->GetQuantity()),
                  Utf16::ToUtf8(item->GetDescription()).c_str());
    std::printf("\n");
    bool same = copy->ToXml(true, true, EOLType_CRLF, context) == crlf;
    std::printf("--- written again: %s\n", same ? "identical text" : "DIFFERENT TEXT");
    if (!same) return 1;

    // The same order as bytes and as a file. Compressed output must be
    // smaller than the text it comes from, so this part uses a bigger order.
    CSmartPtr<COrder> big = new COrder(VX_T("Smith & Sons"));
    for (int i = 0; i < 40; ++i)
      big->Add(new CItem(Utf16::FromInt64(1000 + i).c_str(), 10 * i, VX_T("Bolts & nuts, M6")));
    const String expected = big->ToXml(false, false, EOLType_LF, context);
    struct Form {
      const char* name;
      XmlEncoding encoding;
      CompressionType compression;
    };
    const Form forms[] = {{"UTF-8", XmlEncoding_UTF8, CompressionType_None},
                          {"UTF-16", XmlEncoding_UTF16, CompressionType_None},
                          {"UTF-8, gzip", XmlEncoding_UTF8, CompressionType_GZip}};
    for (const Form& f : forms) {
      CBinaryData bytes =
          big->ToXmlStream(true, true, f.encoding, EOLType_LF, context, f.compression);
      CSmartPtr<COrder> back = new COrder(VX_T(""));
      back->FromXmlStream(bytes, context);  // compression is recognised by content
      bool equal = back->ToXml(false, false, EOLType_LF, context) == expected;
      std::printf("--- %s: %u bytes, first %s; read back: %s\n", f.name,
                  static_cast<unsigned>(bytes.GetLength()),
                  Utf16::ToUtf8(CBinaryData(bytes.GetData(), 4).GetAsHexString()).c_str(),
                  equal ? "same order" : "DIFFERENT ORDER");
      if (!equal) return 1;
    }
    // A UTF-16 file starts with the byte order mark FF FE.
    const char* dir = std::getenv("TMPDIR");
    String path = Utf16::FromUtf8(std::string(dir != nullptr ? dir : "/tmp") + "/orders.xml");
    big->ToXmlFile(path.c_str(), true, true, XmlEncoding_UTF16, EOLType_LF, context,
                   CompressionType_None);
    CSmartPtr<COrder> fromFile = new COrder(VX_T(""));
    fromFile->FromXmlFile(path.c_str(), context);
    bool equal = fromFile->ToXml(false, false, EOLType_LF, context) == expected;
    std::printf("--- file %s (UTF-16): read back: %s\n", Utf16::ToUtf8(path).c_str(),
                equal ? "same order" : "DIFFERENT ORDER");
    std::remove(Utf16::ToUtf8(path).c_str());
    if (!equal) return 1;

    // Fast Infoset (ITU-T X.891): the same order as a binary document. Names
    // and short values are written once and then referred to by index, so
    // the document is a fraction of the text; any reading entry point
    // recognises it by its header.
    CBinaryData utf8 = big->ToXmlStream(true, false, XmlEncoding_UTF8, EOLType_LF, context);
    CBinaryData fi = big->ToFastInfosetStream(FInfoDecl_None, context);
    CSmartPtr<COrder> fromFi = new COrder(VX_T(""));
    fromFi->FromXmlStream(fi, context);
    equal = fromFi->ToXml(false, false, EOLType_LF, context) == expected;
    std::printf("--- Fast Infoset: %u bytes (UTF-8 text: %u bytes), first %s; read back: %s\n",
                static_cast<unsigned>(fi.GetLength()), static_cast<unsigned>(utf8.GetLength()),
                Utf16::ToUtf8(CBinaryData(fi.GetData(), 4).GetAsHexString()).c_str(),
                equal ? "same order" : "DIFFERENT ORDER");
    if (!equal) return 1;
  } catch (const CVxException& e) {
    std::fprintf(stderr, "error: %s\n", Utf16::ToUtf8(e.GetFullMessage()).c_str());
    return 1;
  }
  return 0;
}

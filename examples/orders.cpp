// Builds a small order in memory and prints it as XML text.
//
// COrder and CItem are written by hand here, the way generated classes
// write themselves: each one opens its element, adds its attributes, writes
// its content (text, or its children through their own ToXml_Int) and
// closes the element. ToXml() does the rest: it creates the writer, asks
// the root object to write itself and returns the text.
#include <vxbind/vxbind.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace VxVevAva5;

namespace {

const unsigned short* const kOrdersNs = VX_T("urn:example:orders");
const unsigned short* const kPartsNs = VX_T("urn:example:parts");

// <item p:sku="..." quantity="...">description</item>
class CItem : public CXmlObjectBase {
 public:
  CItem(const unsigned short* sku, int quantity, const unsigned short* description)
      : m_sku(Utf16::Make(sku)),
        m_quantity(quantity),
        m_description(Utf16::Make(description)) {
    SetElementName(VX_T("item"));
  }

  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return kOrdersNs; }

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

  // Reading is not part of this example.
  CXmlElement* FromXml_Int(CXmlElement*, CXmlElement*, const CXmlSerializationContext&,
                           bool) override {
    return nullptr;
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

  CXmlElement* FromXml_Int(CXmlElement*, CXmlElement*, const CXmlSerializationContext&,
                           bool) override {
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
  } catch (const CVxException& e) {
    std::fprintf(stderr, "error: %s\n", Utf16::ToUtf8(e.GetFullMessage()).c_str());
    return 1;
  }
  return 0;
}

// Repeated members with facets, as a generated class holds them: product
// codes that must be two capitals and a digit (an xs:pattern), quantities
// from 1 to 100 (xs:minInclusive, xs:maxInclusive). A value that breaks a
// facet is refused when it is added, with the library's message, and the
// collection stays as it was. The collections are then written as runs of
// elements and read back, facets checked again.
#include <vxbind/vxbind.h>

#include <cstdio>
#include <string>

using namespace VxVevAva5;

namespace {

const unsigned short* const kShop = VX_T("urn:example:shop");
constexpr auto kCollapse = CWhitespaceUtils::WhitespaceRule_Collapse;

// Adds `add`'s value and prints what happened; true when the result was the
// expected one (an empty `refusal` means it should be taken).
template <class Add>
bool Try(const char* what, Add add, const char* refusal) {
  try {
    add();
    std::printf("%-14s taken\n", what);
    return *refusal == 0;
  } catch (const CVxException& e) {
    std::string message = Utf16::ToUtf8(e.GetMessage());
    std::printf("%-14s refused: %s\n", what, message.c_str());
    return message == refusal;
  }
}

}  // namespace

int main() {
  // <xs:element name="code" maxOccurs="unbounded">, pattern [A-Z]{2}\d
  CSmartPtr<CstringCol> codes =
      new CstringCol(VX_T("code"), kShop, 1, -1, VX_T("[A-Z]{2}\\d"), -1, -1, nullptr, nullptr,
                     nullptr, nullptr, -1, kCollapse, nullptr);
  // <xs:element name="quantity" maxOccurs="unbounded">, from 1 to 100
  CSmartPtr<Ci4Col> quantities =
      new Ci4Col(VX_T("quantity"), kShop, 0, -1, nullptr, -1, -1, VX_T("1"), VX_T("100"), nullptr,
                 nullptr, -1, kCollapse, nullptr);
  bool ok = true;
  ok &= Try(
      "code AB1", [&] { codes->Add(VX_T("AB1")); }, "");
  ok &= Try(
      "code XY7", [&] { codes->Add(VX_T("XY7")); }, "");
  ok &= Try(
      "code AB12", [&] { codes->Add(VX_T("AB12")); }, "Invalid Value for code [AB12]");
  ok &= Try(
      "quantity 100", [&] { quantities->Add(100); }, "");
  ok &= Try(
      "quantity 0", [&] { quantities->Add(0); }, "Invalid Value for quantity [0]");
  std::printf("%d codes, %d quantity\n", codes->GetCount(), quantities->GetCount());

  // Each value is an element of its own, in the collection's namespace.
  const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext();
  CXmlTextWriter writer;
  writer.SetDefaultNamespace(kShop);
  writer.WriteStartElement(VX_T("order"), kShop);
  CXmlObjectBase::ToXml_Int(codes, &writer, false, kShop, context, false);
  CXmlObjectBase::ToXml_Int(quantities, &writer, false, kShop, context, false);
  writer.WriteEndElement();
  String xml = writer.GetString();
  std::printf("%s", Utf16::ToUtf8(xml).c_str());

  // Reading checks the facets too: a quantity of 500 in the text is refused.
  String edited =
      xml.substr(0, xml.find(VX_T("100"))) + VX_T("500") + xml.substr(xml.find(VX_T("100")) + 3);
  CXmlDocument document;
  document.LoadXml(edited.c_str());
  CXmlElement* order = document.GetDocumentElement();
  // Copies, emptied: the same element names, namespace and facets.
  CSmartPtr<CstringCol> codesBack = new CstringCol(*codes);
  codesBack->Clear();
  CSmartPtr<Ci4Col> quantitiesBack = new Ci4Col(*quantities);
  quantitiesBack->Clear();
  CXmlElement* next =
      CXmlObjectBase::FromXml_Int(codesBack, order, order->GetFirstElement(), context);
  ok &= Try(
      "reading back", [&] { CXmlObjectBase::FromXml_Int(quantitiesBack, order, next, context); },
      "Invalid Value for quantity [500]");
  std::printf("read back: %d codes, %d quantities\n", codesBack->GetCount(),
              quantitiesBack->GetCount());
  return ok && codesBack->GetCount() == 2 ? 0 : 1;
}

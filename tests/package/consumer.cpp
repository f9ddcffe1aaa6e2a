// A consumer of the packaged library: includes the umbrella header, derives
// a bindable class, writes and reads it through the library, and catches the
// library's exceptions by their exported types. Built with
// VXBIND_PACKAGE_VERSION, the version the package announced, it checks that
// the package, its headers and its library are one version.
#include <vxbind/vxbind.h>

#include <cstdio>
#include <cstring>

using namespace VxVevAva5;

namespace {

// An element holding one text: the smallest bindable object.
class CNote : public CXmlObjectBase {
 public:
  String text;
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return VX_T("urn:note"); }

 protected:
  String GetTargetNamespace() const override { return VX_T("urn:note"); }
  void ToXml_Int(CXmlWriter* writer, bool, const unsigned short* ns,
                 const CXmlSerializationContext&, bool) const override {
    writer->WriteStartElement(VX_T("note"), ns);
    writer->WriteText(text);
    writer->WriteEndElement();
  }
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement*, const CXmlSerializationContext&,
                           bool) override {
    text = element->GetText();
    return nullptr;
  }
};

int Fail(const char* what) {
  std::fprintf(stderr, "consumer: %s\n", what);
  return 1;
}

}  // namespace

int main() {
  if (std::strcmp(GetVersionString(), VXBIND_VERSION_STRING) != 0)
    return Fail("the library's version is not the headers' " VXBIND_VERSION_STRING);
#ifdef VXBIND_PACKAGE_VERSION
  if (std::strcmp(VXBIND_PACKAGE_VERSION, VXBIND_VERSION_STRING) != 0)
    return Fail("the package's version " VXBIND_PACKAGE_VERSION
                " is not the headers' " VXBIND_VERSION_STRING);
#endif
  CSmartPtr<CNote> note = new CNote;
  note->text = VX_T("1 < 2");
  String xml = note->ToXml(false, false);
  if (xml != String(VX_T("<AA:note xmlns:AA=\"urn:note\">1 &lt; 2</AA:note>"))) {
    return Fail(Utf16::ToUtf8(xml).c_str());
  }
  // Output is compressed into a buffer of its own size: long enough text.
  for (int i = 0; i < 6; ++i) note->text += note->text;
  CSmartPtr<CNote> copy = new CNote;
  copy->FromXmlStream(note->ToXmlStream(true, true, XmlEncoding_UTF8, EOLType_LF,
                                        CXmlSerializationContext::GetDefaultContext(),
                                        CompressionType_GZip));
  if (copy->text != note->text) return Fail("the gzip round trip lost the text");

  try {
    CConversions::i4FromString(VX_T("abc"), CWhitespaceUtils::WhitespaceRule_Collapse);
    return Fail("no exception for abc");
  } catch (const CVxInvalidValueException&) {
  }
  try {
    copy->FromXml(VX_T("<note>"));
    copy->FromXml(VX_T("<a></b>"));
    return Fail("no exception for mismatched tags");
  } catch (const CVxException& e) {
    if (e.GetFullMessage() != String(VX_T("mismatched tag at line 1")))
      return Fail(Utf16::ToUtf8(e.GetFullMessage()).c_str());
  }
  CDecimal third = CDecimal(VX_T("1")) / CDecimal(VX_T("3"));
  if (third.ToString(3) != String(VX_T("0.333"))) return Fail("decimal division");
  // A pattern facet: PCRE2 reaches the consumer's link through the package.
  CSmartPtr<CstringCol> codes =
      new CstringCol(VX_T("code"), VX_T(""), 0, -1, VX_T("[A-Z]{2}\\d"), -1, -1, nullptr, nullptr,
                     nullptr, nullptr, -1, CWhitespaceUtils::WhitespaceRule_Collapse, nullptr);
  codes->Add(VX_T("AB1"));
  try {
    codes->Add(VX_T("AB12"));
    return Fail("the pattern facet took AB12");
  } catch (const CVxException& e) {
    if (e.GetMessage() != String(VX_T("Invalid Value for code [AB12]")))
      return Fail(Utf16::ToUtf8(e.GetMessage()).c_str());
  }
  std::printf("vxbind %s: ok\n", GetVersionString());
  return 0;
}

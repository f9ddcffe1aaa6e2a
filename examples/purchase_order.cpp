// The purchase order of the XML Schema Primer, bound to the classes that
// vxbindc generates from its schema, po/po.xsd, at build time (po.h; see
// examples/CMakeLists.txt): builds an order in code, writes it as XML,
// reads the text back into a new order, then shows what the library reports
// when a value breaks its facet (writing) and when input is invalid
// (reading): the chain of elements from the root down, and the input line.
#include <cstdio>
#include <string>

#include "po.h"  // generated: namespace PurchaseOrder

// The generated code names the library fully qualified; a program may bring
// both namespaces in for brevity.
using namespace PurchaseOrder;
using namespace VxVevAva5;

namespace {

std::string Text(const String& s) { return Utf16::ToUtf8(s); }

void AddItem(CItemCol& items, const unsigned short* partNum, const unsigned short* name,
             int quantity, const unsigned short* price) {
  CSmartPtr<CItem> item = items.Add();
  item->SetPartNum(partNum);
  item->SetProductName(name);
  item->SetQuantity(CBigInteger(quantity));
  item->SetUSPrice(CDecimal(price));
}

CSmartPtr<CPurchaseOrderType> MakeOrder() {
  CSmartPtr<CPurchaseOrderType> order = new CPurchaseOrderType;
  order->SetOrderDate(CDateTime(1999, 10, 20));
  CSmartPtr<CUSAddress> shipTo = order->GetShipTo();
  shipTo->SetName(VX_T("Alice Smith"));
  shipTo->SetStreet(VX_T("123 Maple Street"));
  shipTo->SetCity(VX_T("Mill Valley"));
  shipTo->SetState(VX_T("CA"));
  shipTo->SetZip(CDecimal(90952));
  CSmartPtr<CUSAddress> billTo = order->GetBillTo();
  billTo->SetName(VX_T("Robert Smith"));
  billTo->SetStreet(VX_T("8 Oak Avenue"));
  billTo->SetCity(VX_T("Old Town"));
  billTo->SetState(VX_T("PA"));
  billTo->SetZip(CDecimal(95819));
  order->SetComment(VX_T("Hurry, my lawn is going wild!"));

  CItemCol& items = *order->GetItems()->GetItem();
  AddItem(items, VX_T("872-AA"), VX_T("Lawnmower"), 1, VX_T("148.95"));
  items.Item(0)->SetComment(VX_T("Confirm this is electric"));
  AddItem(items, VX_T("926-AA"), VX_T("Baby Monitor"), 1, VX_T("39.98"));
  items.Item(1)->SetShipDate(CDateTime(1999, 5, 21));
  return order;
}

void Report(const CVxException& e) {
  std::printf("%s\n", Text(e.GetFullMessage()).c_str());
  if (e.GetLineNumber() != 0)
    std::printf("(input line %u)\n", static_cast<unsigned>(e.GetLineNumber()));
  else
    std::printf("(no input line: the failure happened while writing)\n");
}

}  // namespace

int main() {
  try {
    // 1. Objects to XML.
    CSmartPtr<CPurchaseOrderType> order = MakeOrder();
    String xml = order->ToXml(true, true, EOLType_LF);
    std::printf("%s\n", Text(xml).c_str());

    // 2. XML back to objects, validated against the content model.
    CSmartPtr<CPurchaseOrderType> copy = new CPurchaseOrderType;
    copy->FromXml(xml.c_str());
    std::printf("Read back: %d items for %s, the first %s x %s at %s USD; same text: %s\n\n",
                copy->GetItems()->GetItem()->GetCount(), Text(copy->GetShipTo()->GetName()).c_str(),
                Text(copy->GetItems()->GetItem()->Item(0)->GetQuantity().ToString()).c_str(),
                Text(copy->GetItems()->GetItem()->Item(0)->GetProductName()).c_str(),
                Text(copy->GetItems()->GetItem()->Item(0)->GetUSPrice().ToString()).c_str(),
                copy->ToXml(true, true, EOLType_LF) == xml ? "yes" : "no");

    // 3. A part number that breaks the SKU pattern is refused when written.
    std::printf("Writing an item whose part number is 12-AB:\n");
    copy->GetItems()->GetItem()->Item(1)->SetPartNum(VX_T("12-AB"));
    try {
      copy->ToXml();
    } catch (const CVxException& e) {
      Report(e);
    }

    // 4. Input that breaks the schema: the error names every element from
    // the root down, and the line of the element at fault.
    std::printf("\nReading a quantity of \"many\":\n");
    std::string bad = Text(xml);
    bad.replace(bad.find("<quantity>1</quantity>"), 22, "<quantity>many</quantity>");
    try {
      copy->FromXml(bad.c_str());
    } catch (const CVxException& e) {
      Report(e);
    }
  } catch (const CVxException& e) {
    std::fprintf(stderr, "unexpected failure:\n%s\n", Text(e.GetFullMessage()).c_str());
    return 1;
  }
  return 0;
}

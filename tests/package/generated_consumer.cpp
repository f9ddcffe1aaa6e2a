// A consumer of the packaged schema compiler: classes generated from
// examples/po/po.xsd by the installed vxbindc through vxbind_generate(),
// bound to an order written and read back.
#include <cstdio>

#include "po.h"

using namespace VxVevAva5;

int main() {
  try {
    CSmartPtr<CXmlObjectBase> root = Po::CreateRootObject(VX_T("purchaseOrder"), nullptr);
    auto* order = dynamic_cast<Po::CPurchaseOrderType*>(root.get());
    if (order == nullptr) return 1;
    order->GetShipTo()->SetName(VX_T("Alice Smith"));
    CSmartPtr<Po::CItem> item = order->GetItems()->GetItem()->Add();
    item->SetPartNum(VX_T("872-AA"));
    item->SetQuantity(CBigInteger(2));
    String xml = order->ToXml();
    CSmartPtr<Po::CPurchaseOrderType> copy = new Po::CPurchaseOrderType;
    copy->FromXml(xml.c_str());
    if (copy->ToXml() != xml || copy->GetItems()->GetItem()->GetCount() != 1) return 1;
    std::printf("generated classes: ok\n");
    return 0;
  } catch (const CVxException& e) {
    std::printf("%s\n", Utf16::ToUtf8(e.GetFullMessage()).c_str());
    return 1;
  }
}

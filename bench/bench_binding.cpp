// Binding generated classes, beside its baselines on the same data: a
// purchase order of about 17 MB of UTF-8 (100,000 items, fixed seed) with the classes
// of examples/po.
//
//   reading:  BM_Baseline_DocumentLoad     the bytes into a CXmlDocument only
//             BM_Binding_Read              the same bytes into the objects
//                                          (load, bind, free the tree)
//   writing:  BM_Baseline_TextWriterDirect the text writer emitting the same
//                                          elements from ready-made texts
//             BM_Binding_Write             the objects written by the driver
//   memory:   BM_Memory_DocumentLoad       peak heap of the load alone
//             BM_Memory_ReadAndBind        peak heap of load + bind (the tree
//                                          is freed after binding)
// in bytes per input byte (counter peak_per_input_byte), with HeapCounter.h.
//
// Peer binders (the same document bound by other libraries' generated
// code, built when bench/CMakeLists.txt finds them) are in the section
// "Peers" below:
//   CodeSynthesis XSD (C++/Tree over Xerces-C)  VXBIND_BENCH_HAVE_XSDCXX
//   gSOAP (wsdl2h + soapcpp2, plain XML)        VXBIND_BENCH_HAVE_GSOAP
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "HeapCounter.h"
#include "po/PurchaseOrder.h"

#ifdef VXBIND_BENCH_HAVE_XSDCXX
#include <xercesc/util/PlatformUtils.hpp>

#include "xsdcxx/po.hxx"
#endif
#ifdef VXBIND_BENCH_HAVE_GSOAP
#include "gsoap/soapH.h"
// The namespace table: po.xsd has no target namespace, so it holds only the
// entries of every gSOAP program.
#include "gsoap/soap.nsmap"
#endif


using namespace PurchaseOrder;

namespace {

constexpr int kItemCount = 100000;

// The order as ready-made texts, in document order: what the direct writer
// emits.
struct ItemTexts {
  String partNum, productName, quantity, price, comment, shipDate;
  bool hasComment = false, hasShipDate = false;
};
struct AddressTexts {
  String name, street, city, state, zip;
};
struct OrderTexts {
  String orderDate, comment;
  AddressTexts shipTo, billTo;
  std::vector<ItemTexts> items;
};

struct Corpus {
  CSmartPtr<CPurchaseOrderType> order;
  std::string xml;  // UTF-8, indented, no declaration
  String text;      // the same as written (UTF-16)
  OrderTexts texts;
};

String S(const std::string& utf8) { return Utf16::FromUtf8(utf8); }

void FillAddress(CUSAddress& address, std::mt19937& rng, AddressTexts& texts) {
  static const char* const kNames[] = {"Alice Smith", "Robert Smith", "Mary Jones",
                                       "Jos\xC3\xA9 Garc\xC3\xAD"
                                       "a"};
  static const char* const kCities[] = {"Mill Valley", "Old Town", "Springfield", "Fairview"};
  texts.name = S(kNames[rng() % 4]);
  texts.street = S(std::to_string(1 + rng() % 999) + " Maple Street");
  texts.city = S(kCities[rng() % 4]);
  texts.state = S("CA");
  texts.zip = S(std::to_string(10000 + rng() % 89999));
  address.SetName(texts.name.c_str());
  address.SetStreet(texts.street.c_str());
  address.SetCity(texts.city.c_str());
  address.SetState(texts.state.c_str());
  address.SetZip(CDecimal(texts.zip.c_str()));
  texts.zip = address.GetZip().ToString();  // as the value writes itself
}

Corpus MakeCorpus(uint32_t seed) {
  static const char* const kProducts[] = {"Lawnmower",
                                          "Baby Monitor",
                                          "Sturdy Shelves",
                                          "Lapis necklace",
                                          "Caf\xC3\xA9 beans & cups",
                                          "Garden hose 20m",
                                          "Desk lamp",
                                          "Paper A4"};
  std::mt19937 rng(seed);
  Corpus c;
  c.order = new CPurchaseOrderType;
  c.texts.orderDate = S("1999-10-20");
  c.order->SetOrderDate(CDateTime(1999, 10, 20));
  FillAddress(*c.order->GetShipTo(), rng, c.texts.shipTo);
  FillAddress(*c.order->GetBillTo(), rng, c.texts.billTo);
  c.texts.comment = S("Hurry, my lawn is going wild!");
  c.order->SetComment(c.texts.comment.c_str());
  CItemCol& items = *c.order->GetItems()->GetItem();
  c.texts.items.reserve(kItemCount);
  for (int i = 0; i < kItemCount; ++i) {
    ItemTexts t;
    char sku[8] = {static_cast<char>('0' + rng() % 10),
                   static_cast<char>('0' + rng() % 10),
                   static_cast<char>('0' + rng() % 10),
                   '-',
                   static_cast<char>('A' + rng() % 26),
                   static_cast<char>('A' + rng() % 26),
                   0};
    t.partNum = S(sku);
    t.productName = S(std::string(kProducts[rng() % 8]) + " #" + std::to_string(rng() % 1000));
    t.quantity = S(std::to_string(1 + rng() % 99));
    t.price = S(std::to_string(rng() % 1000) + "." + std::to_string(10 + rng() % 90));
    t.hasComment = rng() % 10 < 3;
    if (t.hasComment) t.comment = S("Confirm this is electric");
    t.hasShipDate = rng() % 2 == 0;
    if (t.hasShipDate)
      t.shipDate = S("1999-" + std::string(rng() % 2 ? "0" : "1") + std::to_string(1 + rng() % 2) +
                     "-" + std::to_string(10 + rng() % 18));
    CSmartPtr<CItem> item = items.Add();
    item->SetPartNum(t.partNum.c_str());
    item->SetProductName(t.productName.c_str());
    item->SetQuantity(CBigInteger(t.quantity.c_str()));
    item->SetUSPrice(CDecimal(t.price.c_str()));
    t.price = item->GetUSPrice().ToString();  // as the value writes itself
    if (t.hasComment) item->SetComment(t.comment.c_str());
    if (t.hasShipDate) {
      CDateTime date;
      date.ParseXSDDate(t.shipDate.c_str());
      item->SetShipDate(date);
    }
    c.texts.items.push_back(std::move(t));
  }
  c.text = c.order->ToXml(false, true, EOLType_LF);
  c.xml = Utf16::ToUtf8(c.text);
  return c;
}

const Corpus& Data() {
  static const Corpus corpus = MakeCorpus(42);
  return corpus;
}

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Data().xml.size()));
}

unsigned char* Bytes() {
  return reinterpret_cast<unsigned char*>(const_cast<char*>(Data().xml.data()));
}
uint32_t Length() { return static_cast<uint32_t>(Data().xml.size()); }

// -- Reading ---------------------------------------------------------------------------

void BM_Baseline_DocumentLoad(benchmark::State& state) {
  for (auto _ : state) {
    CXmlDocument document;
    document.LoadXmlStream(Bytes(), Length());
    benchmark::DoNotOptimize(document.GetDocumentElement());
  }
  SetBytes(state);
}
BENCHMARK(BM_Baseline_DocumentLoad)->Unit(benchmark::kMillisecond);

void BM_Binding_Read(benchmark::State& state) {
  CSmartPtr<CPurchaseOrderType> order = new CPurchaseOrderType;
  for (auto _ : state) {
    order->FromXmlStream(Bytes(), Length());
    benchmark::DoNotOptimize(order.get());
  }
  // A fast but wrong result must not count: what was read writes the input.
  if (order->ToXml(false, true, EOLType_LF) != Data().text)
    state.SkipWithError("the objects read do not write the input back");
  SetBytes(state);
}
BENCHMARK(BM_Binding_Read)->Unit(benchmark::kMillisecond);

// -- Writing ---------------------------------------------------------------------------

void WriteAddress(CXmlTextWriter& w, const String& element, const AddressTexts& a,
                  const String& none) {
  static const String kCountry = S("country"), kUs = S("US"), kName = S("name"),
                      kStreet = S("street"), kCity = S("city"), kState = S("state"),
                      kZip = S("zip");
  auto leaf = [&](const String& name, const String& text) {
    w.WriteStartElement(name, none);
    w.WriteText(text);
    w.WriteEndElement();
  };
  w.WriteStartElement(element, none);
  w.WriteAttribute(kCountry, none, kUs);
  leaf(kName, a.name);
  leaf(kStreet, a.street);
  leaf(kCity, a.city);
  leaf(kState, a.state);
  leaf(kZip, a.zip);
  w.WriteEndElement();
}

String WriteDirect(const OrderTexts& o) {
  static const String kNone, kOrder = S("purchaseOrder"), kOrderDate = S("orderDate"),
                             kShipTo = S("shipTo"), kBillTo = S("billTo"), kComment = S("comment"),
                             kItems = S("items"), kItem = S("item"), kPartNum = S("partNum"),
                             kProductName = S("productName"), kQuantity = S("quantity"),
                             kPrice = S("USPrice"), kShipDate = S("shipDate");
  CXmlTextWriter w;
  w.SetIndent(true);
  w.SetEOLType(EOLType_LF);
  auto leaf = [&](const String& name, const String& text) {
    w.WriteStartElement(name, kNone);
    w.WriteText(text);
    w.WriteEndElement();
  };
  w.WriteStartElement(kOrder, kNone);
  w.WriteAttribute(kOrderDate, kNone, o.orderDate);
  WriteAddress(w, kShipTo, o.shipTo, kNone);
  WriteAddress(w, kBillTo, o.billTo, kNone);
  leaf(kComment, o.comment);
  w.WriteStartElement(kItems, kNone);
  for (const ItemTexts& item : o.items) {
    w.WriteStartElement(kItem, kNone);
    w.WriteAttribute(kPartNum, kNone, item.partNum);
    leaf(kProductName, item.productName);
    leaf(kQuantity, item.quantity);
    leaf(kPrice, item.price);
    if (item.hasComment) leaf(kComment, item.comment);
    if (item.hasShipDate) leaf(kShipDate, item.shipDate);
    w.WriteEndElement();
  }
  w.WriteEndElement();
  w.WriteEndElement();
  return w.GetString();
}

void BM_Baseline_TextWriterDirect(benchmark::State& state) {
  String text;
  for (auto _ : state) {
    text = WriteDirect(Data().texts);
    benchmark::DoNotOptimize(text.data());
  }
  if (text != Data().text) state.SkipWithError("the direct writer wrote another document");
  SetBytes(state);
}
BENCHMARK(BM_Baseline_TextWriterDirect)->Unit(benchmark::kMillisecond);

void BM_Binding_Write(benchmark::State& state) {
  String text;
  for (auto _ : state) {
    text = Data().order->ToXml(false, true, EOLType_LF);
    benchmark::DoNotOptimize(text.data());
  }
  if (text != Data().text) state.SkipWithError("the objects wrote another document");
  SetBytes(state);
}
BENCHMARK(BM_Binding_Write)->Unit(benchmark::kMillisecond);

// -- Memory ----------------------------------------------------------------------------

// Runs `work` with the counters on and reports the peak growth of live heap
// bytes per input byte.
template <class Work>
void MeasurePeak(benchmark::State& state, Work work) {
  Data();  // made before anything is counted
  double worst = 0;
  for (auto _ : state) {
    vxbench::StartCounting();
    work();
    double ratio = static_cast<double>(vxbench::StopCounting()) / static_cast<double>(Length());
    if (ratio > worst) worst = ratio;
  }
  state.counters["peak_per_input_byte"] = worst;
  SetBytes(state);
}

void BM_Memory_DocumentLoad(benchmark::State& state) {
  MeasurePeak(state, [] {
    CXmlDocument document;
    document.LoadXmlStream(Bytes(), Length());
    benchmark::DoNotOptimize(document.GetDocumentElement());
  });
}
BENCHMARK(BM_Memory_DocumentLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Memory_ReadAndBind(benchmark::State& state) {
  MeasurePeak(state, [] {
    CSmartPtr<CPurchaseOrderType> order = new CPurchaseOrderType;
    order->FromXmlStream(Bytes(), Length());
    benchmark::DoNotOptimize(order.get());
  });
}
BENCHMARK(BM_Memory_ReadAndBind)->Unit(benchmark::kMillisecond)->Iterations(3);

// -- Peers -------------------------------------------------------------------------------
// Other binders on the same bytes, each reading into its own generated classes
// and writing them, next to the baselines above: BM_Peer_<library>_Read /
// _Write and BM_Memory_Peer_<library>_ReadAndBind. Each reads from the input
// bytes through a stream over them (no copy) and writes to a string.
//
// A peer's result counts only if its objects hold the document: the number
// of items, of their comments and ship dates, the sum of the quantities and
// the UTF-8 bytes of the product names (some are not ASCII) must be those of
// the texts the document was made from. What a peer wrote is read back by
// the same peer and checked the same way.

struct Tally {
  size_t items = 0, comments = 0, shipDates = 0, productNameBytes = 0;
  uint64_t quantities = 0;
  bool operator==(const Tally& o) const {
    return items == o.items && comments == o.comments && shipDates == o.shipDates &&
           productNameBytes == o.productNameBytes && quantities == o.quantities;
  }
};

[[maybe_unused]] const Tally& Expected() {
  static const Tally tally = [] {
    Tally t;
    for (const ItemTexts& item : Data().texts.items) {
      ++t.items;
      t.comments += item.hasComment ? 1 : 0;
      t.shipDates += item.hasShipDate ? 1 : 0;
      t.productNameBytes += Utf16::ToUtf8(item.productName).size();
      t.quantities += std::stoull(Utf16::ToUtf8(item.quantity));
    }
    return t;
  }();
  return tally;
}

// A read-only stream buffer over bytes that stay where they are.
class BytesBuffer : public std::streambuf {
 public:
  explicit BytesBuffer(const std::string& bytes) {
    char* begin = const_cast<char*>(bytes.data());
    setg(begin, begin, begin + bytes.size());
  }
};

#ifdef VXBIND_BENCH_HAVE_XSDCXX

// Xerces-C is initialised once for the program (never terminated); every
// parse and serialisation below passes dont_initialize.
void XercesOnce() {
  static const bool initialised = [] {
    xercesc::XMLPlatformUtils::Initialize();
    return true;
  }();
  benchmark::DoNotOptimize(initialised);
}

std::unique_ptr<xsdpo::PurchaseOrderType> XsdRead(const std::string& xml, bool validate) {
  BytesBuffer buffer(xml);
  std::istream in(&buffer);
  xml_schema::properties properties;
  xml_schema::flags flags = xml_schema::flags::dont_initialize;
  if (validate)
    properties.no_namespace_schema_location(VXBIND_BENCH_PO_XSD);
  else
    flags = flags | xml_schema::flags::dont_validate;
  return xsdpo::purchaseOrder(in, flags, properties);
}

std::string XsdWrite(const xsdpo::PurchaseOrderType& order) {
  std::ostringstream out;
  xml_schema::namespace_infomap map;
  xsdpo::purchaseOrder(out, order, map, "UTF-8", xml_schema::flags::dont_initialize);
  return out.str();
}

Tally TallyOf(const xsdpo::PurchaseOrderType& order) {
  Tally t;
  for (const xsdpo::item& item : order.items().item()) {
    ++t.items;
    t.comments += item.comment().present() ? 1 : 0;
    t.shipDates += item.shipDate().present() ? 1 : 0;
    t.productNameBytes += item.productName().size();
    t.quantities += item.quantity();
  }
  return t;
}

void XsdReadBenchmark(benchmark::State& state, bool validate) {
  XercesOnce();
  Expected();
  std::unique_ptr<xsdpo::PurchaseOrderType> order;
  try {
    for (auto _ : state) {
      order = XsdRead(Data().xml, validate);
      benchmark::DoNotOptimize(order.get());
    }
  } catch (const xml_schema::exception& e) {
    state.SkipWithError(("xsdcxx: " + std::string(e.what())).c_str());
    return;
  }
  if (!order || !(TallyOf(*order) == Expected()))
    state.SkipWithError("xsdcxx: the objects read do not hold the document");
  SetBytes(state);
}

// Without validation, as the binding reads; with validation against po.xsd
// (Xerces-C loads the schema on each parse).
void BM_Peer_Xsdcxx_Read(benchmark::State& state) { XsdReadBenchmark(state, false); }
BENCHMARK(BM_Peer_Xsdcxx_Read)->Unit(benchmark::kMillisecond);

void BM_Peer_Xsdcxx_ReadValidating(benchmark::State& state) { XsdReadBenchmark(state, true); }
BENCHMARK(BM_Peer_Xsdcxx_ReadValidating)->Unit(benchmark::kMillisecond);

void BM_Peer_Xsdcxx_Write(benchmark::State& state) {
  XercesOnce();
  std::string xml;
  try {
    std::unique_ptr<xsdpo::PurchaseOrderType> order = XsdRead(Data().xml, false);
    for (auto _ : state) {
      xml = XsdWrite(*order);
      benchmark::DoNotOptimize(xml.data());
    }
    if (!(TallyOf(*XsdRead(xml, false)) == Expected()))
      state.SkipWithError("xsdcxx: what was written does not read back as the document");
  } catch (const xml_schema::exception& e) {
    state.SkipWithError(("xsdcxx: " + std::string(e.what())).c_str());
    return;
  }
  state.counters["output_bytes"] = static_cast<double>(xml.size());
  SetBytes(state);
}
BENCHMARK(BM_Peer_Xsdcxx_Write)->Unit(benchmark::kMillisecond);

void BM_Memory_Peer_Xsdcxx_ReadAndBind(benchmark::State& state) {
  XercesOnce();
  MeasurePeak(state, [] {
    std::unique_ptr<xsdpo::PurchaseOrderType> order = XsdRead(Data().xml, false);
    benchmark::DoNotOptimize(order.get());
  });
}
BENCHMARK(BM_Memory_Peer_Xsdcxx_ReadAndBind)->Unit(benchmark::kMillisecond)->Iterations(3);

#endif  // VXBIND_BENCH_HAVE_XSDCXX

#ifdef VXBIND_BENCH_HAVE_GSOAP

// A gSOAP context for plain XML: no id-refs, strings kept as UTF-8, indented
// output. Everything it deserialises lives until Clear() or its end.
class GsoapContext {
 public:
  GsoapContext() : soap_(soap_new1(SOAP_XML_TREE | SOAP_C_UTFSTRING | SOAP_XML_INDENT)) {}
  ~GsoapContext() {
    Clear();
    soap_free(soap_);
  }
  GsoapContext(const GsoapContext&) = delete;
  GsoapContext& operator=(const GsoapContext&) = delete;

  void Clear() {
    soap_destroy(soap_);
    soap_end(soap_);
  }

  // Empty on success, else gSOAP's description of the fault.
  std::string Read(const std::string& xml, PurchaseOrderType& order) {
    BytesBuffer buffer(xml);
    std::istream in(&buffer);
    soap_->is = &in;
    int status = soap_read_purchaseOrder(soap_, &order);
    soap_->is = nullptr;
    return status == SOAP_OK ? std::string() : Fault();
  }

  std::string Write(const PurchaseOrderType& order, std::string& xml) {
    std::ostringstream out;
    soap_->os = &out;
    int status = soap_write_purchaseOrder(soap_, &order);
    soap_->os = nullptr;
    xml = out.str();
    return status == SOAP_OK ? std::string() : Fault();
  }

 private:
  std::string Fault() {
    char text[1024] = {};
    soap_sprint_fault(soap_, text, sizeof text);
    return "gSOAP: " + std::string(text);
  }

  soap* soap_;
};

Tally TallyOf(const PurchaseOrderType& order) {
  Tally t;
  if (order.items == nullptr) return t;
  for (const Items_item& item : order.items->item) {
    ++t.items;
    t.comments += item.comment != nullptr ? 1 : 0;
    t.shipDates += item.shipDate != nullptr ? 1 : 0;
    t.productNameBytes += item.productName.size();
    t.quantities += std::stoull(item.quantity);
  }
  return t;
}

void BM_Peer_Gsoap_Read(benchmark::State& state) {
  Expected();
  GsoapContext context;
  PurchaseOrderType order;
  for (auto _ : state) {
    context.Clear();
    std::string fault = context.Read(Data().xml, order);
    if (!fault.empty()) {
      state.SkipWithError(fault.c_str());
      return;
    }
    benchmark::DoNotOptimize(order.items);
  }
  if (!(TallyOf(order) == Expected()))
    state.SkipWithError("gSOAP: the objects read do not hold the document");
  SetBytes(state);
}
BENCHMARK(BM_Peer_Gsoap_Read)->Unit(benchmark::kMillisecond);

void BM_Peer_Gsoap_Write(benchmark::State& state) {
  GsoapContext reader, writer;
  PurchaseOrderType order;
  std::string fault = reader.Read(Data().xml, order);
  std::string xml;
  for (auto _ : state) {
    if (fault.empty()) fault = writer.Write(order, xml);
    if (!fault.empty()) {
      state.SkipWithError(fault.c_str());
      return;
    }
    benchmark::DoNotOptimize(xml.data());
  }
  GsoapContext check;
  PurchaseOrderType back;
  if (!check.Read(xml, back).empty() || !(TallyOf(back) == Expected()))
    state.SkipWithError("gSOAP: what was written does not read back as the document");
  state.counters["output_bytes"] = static_cast<double>(xml.size());
  SetBytes(state);
}
BENCHMARK(BM_Peer_Gsoap_Write)->Unit(benchmark::kMillisecond);

void BM_Memory_Peer_Gsoap_ReadAndBind(benchmark::State& state) {
  MeasurePeak(state, [] {
    GsoapContext context;
    PurchaseOrderType order;
    benchmark::DoNotOptimize(context.Read(Data().xml, order));
    benchmark::DoNotOptimize(order.items);
  });
}
BENCHMARK(BM_Memory_Peer_Gsoap_ReadAndBind)->Unit(benchmark::kMillisecond)->Iterations(3);

#endif  // VXBIND_BENCH_HAVE_GSOAP

}  // namespace

// The allocation-failure sweep over binding generated classes: reading a
// document of every member kind into objects, a failing read, and writing
// the objects back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alloc/Sweep.h"
#include "TestSchema.h"
#include "support/Text.h"

using namespace VxVevAva5;
using namespace VxVevAva5Data;
using namespace TestSchema;
using vxtest::ToUtf8;
using vxtest::alloc::Promise;
using vxtest::alloc::Sweep;

namespace {

const char kSeq[] =
    "<seq xmlns='urn:vxbind:test' xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance' "
    "version='1.0' mode='blue' unit='cm' scale='2'>"
    "<leafM id='1' xmlns:o='urn:other' o:x='y'>text</leafM><leafO id='2'/>"
    "<leafC id='3'/><first>f</first><second>7</second>"
    "<shapeM xsi:type='Circle' label='l'><radius>1.5</radius></shapeM>"
    "<shapeC xsi:type='Square'><side>4</side></shapeC><count>5</count><price>12.5</price>"
    "<tag>a</tag><color>green</color><hue>blue</hue><extra a='1'>e<in/></extra>"
    "<free>x</free></seq>";

}  // namespace

TEST(BindingSweep, ReadingAndWritingEveryKindOfMember) {
  Sweep("FromXml and ToXml of generated classes", [] {
    CSmartPtr<CSeq> seq = new CSeq;
    // After a failure the object reads and writes as if nothing happened.
    Promise([&] { seq->FromXml(kSeq); },
            [&] {
              seq->FromXml(kSeq);
              EXPECT_FALSE(seq->ToXml().empty());
            });
    return ToUtf8(seq->ToXml(false, false));
  });
}

TEST(BindingSweep, AFailedReadWrapsItsErrorAtEveryLevel) {
  std::string bad = kSeq;
  bad.replace(bad.find("id='1'"), 6, "id='x'");
  Sweep("FromXml failing two levels down", [&] {
    CSmartPtr<CSeq> seq = new CSeq;
    seq->FromXml(bad.c_str());
    return std::string("read");
  });
}

TEST(BindingSweep, StreamingAMemberReadingAndWriting) {
  Sweep("StreamFromXml and StreamToXml of a repeated member", [] {
    CSmartPtr<CSeq> seq = new CSeq;
    std::vector<CSmartPtr<CShape>> shapes;
    StreamFromXml(*seq, kSeq, CSeq::StreamShapeC(),
                  [&](CSmartPtr<CShape> shape) { shapes.push_back(shape); });
    size_t next = 0;
    String text = StreamToXml(*seq, CSeq::StreamShapeC(), [&] {
      return next < shapes.size() ? shapes[next++] : CSmartPtr<CShape>();
    });
    return ToUtf8(text);
  });
}

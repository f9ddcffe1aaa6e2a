#include "ReaderSupport.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace vxbindc {

namespace {

VxVevAva5::CWhitespaceUtils::WhitespaceRule RuleOf(Whitespace whitespace) {
  switch (whitespace) {
    case Whitespace::Preserve:
      return VxVevAva5::CWhitespaceUtils::WhitespaceRule_Preserve;
    case Whitespace::Replace:
      return VxVevAva5::CWhitespaceUtils::WhitespaceRule_Replace;
    case Whitespace::Collapse:
      break;
  }
  return VxVevAva5::CWhitespaceUtils::WhitespaceRule_Collapse;
}

VxVevAva5::ItemType ItemTypeOf(const std::string& name) {
  using namespace VxVevAva5;
  static const std::pair<const char*, ItemType> kTypes[] = {{"hexBinary", ItemType_hexBinary},
                                                            {"base64Binary", ItemType_base64Binary},
                                                            {"i1", ItemType_i1},
                                                            {"i2", ItemType_i2},
                                                            {"i4", ItemType_i4},
                                                            {"i8", ItemType_i8},
                                                            {"ui1", ItemType_ui1},
                                                            {"ui2", ItemType_ui2},
                                                            {"ui4", ItemType_ui4},
                                                            {"ui8", ItemType_ui8},
                                                            {"r4", ItemType_r4},
                                                            {"r8", ItemType_r8},
                                                            {"duration", ItemType_duration},
                                                            {"yearMonth", ItemType_yearMonth},
                                                            {"monthDay", ItemType_monthDay},
                                                            {"year", ItemType_year},
                                                            {"month", ItemType_month},
                                                            {"day", ItemType_day},
                                                            {"date", ItemType_date},
                                                            {"datetime", ItemType_datetime},
                                                            {"time", ItemType_time},
                                                            {"string", ItemType_string},
                                                            {"boolean", ItemType_boolean},
                                                            {"decimal", ItemType_decimal},
                                                            {"integer", ItemType_integer},
                                                            {"QName", ItemType_QName},
                                                            {"QNameList", ItemType_QNameList}};
  for (const auto& entry : kTypes)
    if (name == entry.first) return entry.second;
  return ItemType_Invalid;
}

}  // namespace

bool IsLexical(const SimpleType& type, const std::string& value) {
  try {
    VxVevAva5::VxVariant variant;
    variant.FromString(VxVevAva5::Utf16::FromUtf8(value), ItemTypeOf(type.itemType),
                       RuleOf(type.whitespace));
    return true;
  } catch (const VxVevAva5::CVxException&) {
    return false;
  }
}

std::string CanonicalPath(const std::string& file) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path path = fs::weakly_canonical(fs::absolute(file, error), error);
  return error ? fs::path(file).lexically_normal().string() : path.string();
}

}  // namespace vxbindc

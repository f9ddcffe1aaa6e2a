// Internal: what stands in front of a Fast Infoset document, shared by the
// writer that puts it there and the reader that recognises it.
#ifndef VXBIND_BASE_DETAIL_FASTINFOSETHEADER_H
#define VXBIND_BASE_DETAIL_FASTINFOSETHEADER_H

namespace VxVevAva5 {
namespace detail {

// The identification and version octets that start every document.
constexpr unsigned char kFastInfosetHeader[4] = {0xE0, 0x00, 0x00, 0x01};

// The XML declarations that may stand before the header, by FInfoDecl value
// (FInfoDecl_None, 0, writes none).
constexpr const char* kFastInfosetDeclarations[10] = {
    "",
    "<?xml encoding='finf'?>",
    "<?xml encoding='finf' standalone='yes'?>",
    "<?xml encoding='finf' standalone='no'?>",
    "<?xml version='1.0' encoding='finf'?>",
    "<?xml version='1.0' encoding='finf' standalone='yes'?>",
    "<?xml version='1.0' encoding='finf' standalone='no'?>",
    "<?xml version='1.1' encoding='finf'?>",
    "<?xml version='1.1' encoding='finf' standalone='yes'?>",
    "<?xml version='1.1' encoding='finf' standalone='no'?>",
};

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_BASE_DETAIL_FASTINFOSETHEADER_H

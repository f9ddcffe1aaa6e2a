// -----------------------------------------------------------------------------
// File: Exceptions.h
// -----------------------------------------------------------------------------
//
// The exception family: every failure of the library is one of these, thrown
// by value and caught by reference.
//
//   CVxException                      everything else (writer, files, parsing)
//   +- CVxValidationException         content does not match the model
//   |  +- CVxInvalidValueException    a value cannot be converted / out of range
//   |  +- CVxInvalidNamespaceException
//   +- CVxInvalidStateException       an operation not allowed now
//   +- CVxInvalidParamException       a bad argument
//   +- CVxOverFlowException           a decimal too large for a machine type
//
// An exception may wrap the one that caused it: the inner exception is a
// private clone, owned and deleted by the outer one. GetFullMessage() prints
// the chain, outermost first, one message per line.
//
// Copying an exception only reads it: several threads may copy (or print)
// one exception at the same time, as long as none of them changes it.

#ifndef VXBIND_BASE_EXCEPTIONS_H
#define VXBIND_BASE_EXCEPTIONS_H

#include <cstdint>
#include <utility>

#include "vxbind/platform/Export.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

class VXBIND_EXPORT CVxException {
 public:
  CVxException() = default;
  explicit CVxException(String message);
  // The inner exception is cloned; the caller keeps its own object.
  CVxException(String message, const CVxException& inner);
  // The same for an exception about to be dropped (the one just caught, when
  // it is wrapped and rethrown): only its first link is cloned, the rest of
  // its chain is taken over, so wrapping at every level of a deep document
  // stays linear. `inner` is left without inner exception.
  CVxException(String message, CVxException&& inner);
  CVxException(const CVxException& other);
  CVxException& operator=(const CVxException& other);
  virtual ~CVxException();

  // A copy of the message.
  String GetMessage() const { return m_message; }
  // The message, then "\n" and the inner exception's full message, if any.
  String GetFullMessage() const;
  // The owned inner exception, or null.
  const CVxException* GetInnerException() const { return m_inner; }

  // Where in the input the failure happened: the line (from 1) recorded by
  // the innermost exception of the chain that has one, or 0 when none has
  // (writing, input without lines, a failure outside any element). Binding
  // records at each level the line of the element being read, so this is
  // the line of the deepest element involved. Messages and GetFullMessage()
  // never show it.
  uint32_t GetLineNumber() const;
  // The column (from 1) that goes with GetLineNumber(): recorded by the same
  // link, where the element's start tag begins; 0 when unknown.
  uint32_t GetColumnNumber() const;
  // Records the input line of this link of the chain (0: none).
  void SetLineNumber(uint32_t line) { m_line = line; }
  // Records the input line and column of this link of the chain.
  void SetPosition(uint32_t line, uint32_t column) {
    m_line = line;
    m_column = column;
  }

 protected:
  // A heap copy of the same most-derived class.
  virtual CVxException* Clone() const;

 private:
  static CVxException* CloneLink(const CVxException& source);
  static CVxException* CloneChain(const CVxException* first);
  static void DeleteChain(CVxException* first) noexcept;

  String m_message;
  CVxException* m_inner = nullptr;
  uint32_t m_line = 0;
  uint32_t m_column = 0;
};

// Declares a subclass with the four constructors of the family and Clone.
#define VX_DECLARE_EXCEPTION(Name, Base)                                                       \
  class VXBIND_EXPORT Name : public Base {                                                     \
   public:                                                                                     \
    Name() = default;                                                                          \
    explicit Name(String message) : Base(std::move(message)) {}                                \
    Name(String message, const CVxException& inner) : Base(std::move(message), inner) {}       \
    Name(String message, CVxException&& inner) : Base(std::move(message), std::move(inner)) {} \
    Name(const Name& other) = default;                                                         \
    Name& operator=(const Name& other) = default;                                              \
    ~Name() override = default;                                                                \
                                                                                               \
   protected:                                                                                  \
    CVxException* Clone() const override { return new Name(*this); }                           \
  };

VX_DECLARE_EXCEPTION(CVxValidationException, CVxException)
VX_DECLARE_EXCEPTION(CVxInvalidValueException, CVxValidationException)
VX_DECLARE_EXCEPTION(CVxInvalidNamespaceException, CVxValidationException)
VX_DECLARE_EXCEPTION(CVxInvalidStateException, CVxException)
VX_DECLARE_EXCEPTION(CVxInvalidParamException, CVxException)
VX_DECLARE_EXCEPTION(CVxOverFlowException, CVxException)

#undef VX_DECLARE_EXCEPTION

}  // namespace VxVevAva5

#endif  // VXBIND_BASE_EXCEPTIONS_H

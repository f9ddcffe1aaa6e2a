// -----------------------------------------------------------------------------
// File: Release.h  (internal)
// -----------------------------------------------------------------------------
//
// Freeing the elements that binding is done with, in documents read while
// binding (CXmlDocument::ReleaseChildren). The driver frees the items of a
// repeated member's run as it goes: when the item after them starts, the
// ones before it (all but the run's first, which the member's caller may
// still name in a message) are freed with their subtrees.
//
// What a run may free, it learns here:
//  - ReleaseRunScope: opened by the member's reader around the run (only
//    where nothing reads the run again: no IDs or identity constraints to
//    note, no validation scope gathering them, no mixed content, no model
//    group that may go back to a start in the same element);
//  - ItemReadGuard: made as each generated class's object starts to read;
//    for an item of the open run (one nesting level below the run's
//    owner), frees what came before it;
//  - StartPin: a model group read in place (not an element's own content
//    group) that may return its start pins the element it reads in, so
//    that no run in that element frees anything while it is open;
//  - MixedScope: a mixed class reading its element, whose runs of text
//    between children need every child.

#ifndef VXBIND_MODEL_DETAIL_RELEASE_H
#define VXBIND_MODEL_DETAIL_RELEASE_H

namespace VxVevAva5 {

class CXmlElement;

namespace detail {

struct StartPin {
  const CXmlElement* holder;  // the element the group reads in
  StartPin* outer;
};

struct ReleaseRun {
  CXmlElement* parent;       // the element whose children the run's items are
  const CXmlElement* first;  // the run's first item, kept
  int depth;                 // the depth of the run's owner
  ReleaseRun* outer;
};

// What the driver's reads on this thread share, in one thread-local block
// (one look-up of the thread's storage per function).
struct ReadingState {
  int depth = 0;                            // nesting of generated classes' reads
  ReleaseRun* run = nullptr;                // the innermost open run
  StartPin* pins = nullptr;                 // the open model groups' holders
  const CXmlElement* mixed = nullptr;       // the element of the innermost mixed class
};
inline thread_local ReadingState t_reading;

// A generated class's read of `element`: one level deeper, and when that
// is the next item of the open run, the items between the run's first and
// it are freed.
void NoteItemStartSlow(ReadingState& state, CXmlElement* element);
struct ItemReadGuard {
  ReadingState& state;
  explicit ItemReadGuard(CXmlElement* element) : state(t_reading) {
    ++state.depth;
    if (state.run != nullptr) NoteItemStartSlow(state, element);
  }
  ~ItemReadGuard() { --state.depth; }
  ItemReadGuard(const ItemReadGuard&) = delete;
  ItemReadGuard& operator=(const ItemReadGuard&) = delete;
};

struct StartPinGuard {
  StartPin pin{nullptr, nullptr};
  ReadingState* state = nullptr;
  // Pins `holder` when `pinning`.
  StartPinGuard(const CXmlElement* holder, bool pinning) {
    if (!pinning) return;
    state = &t_reading;
    pin = StartPin{holder, state->pins};
    state->pins = &pin;
  }
  ~StartPinGuard() {
    if (state != nullptr) state->pins = pin.outer;
  }
  StartPinGuard(const StartPinGuard&) = delete;
  StartPinGuard& operator=(const StartPinGuard&) = delete;
};

struct MixedScope {
  const CXmlElement* saved = nullptr;
  ReadingState* state = nullptr;
  MixedScope(const CXmlElement* element, bool mixed) {
    if (!mixed) return;
    state = &t_reading;
    saved = state->mixed;
    state->mixed = element;
  }
  ~MixedScope() {
    if (state != nullptr) state->mixed = saved;
  }
  MixedScope(const MixedScope&) = delete;
  MixedScope& operator=(const MixedScope&) = delete;
};

// The driver's state on this thread set aside for the read of another
// document, and put back after it: an entry point's read starts from
// nothing even when it runs inside another read (a streaming callback that
// reads a document of its own), so that neither frees, checks nor counts
// the depth of the other's elements.
class DocumentReadScope {
 public:
  DocumentReadScope();
  ~DocumentReadScope();
  DocumentReadScope(const DocumentReadScope&) = delete;
  DocumentReadScope& operator=(const DocumentReadScope&) = delete;

 private:
  ReadingState m_reading;
  void* m_identity;
  int m_depth;
};

// Opens a run over the children of `parent` from `first` on, when the run
// may free its items (see above); `allowed` is the member's own say (no
// IDs, no identity constraints).
class ReleaseRunScope {
 public:
  ReleaseRunScope(CXmlElement* parent, const CXmlElement* first, bool allowed);
  ~ReleaseRunScope();
  ReleaseRunScope(const ReleaseRunScope&) = delete;
  ReleaseRunScope& operator=(const ReleaseRunScope&) = delete;
  // After the run, up to `next` (where it ended; null: the parent's end).
  void Done(const CXmlElement* next);

 private:
  ReleaseRun m_run;
  bool m_active = false;
};

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_MODEL_DETAIL_RELEASE_H

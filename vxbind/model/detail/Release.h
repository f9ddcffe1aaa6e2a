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
//  - NoteItemStart: called as each item's object starts to read, at one
//    nesting level below the run's owner; frees what came before it;
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

// Nesting of generated classes' reads on this thread.
inline thread_local int t_readDepth = 0;

struct ReadDepthGuard {
  ReadDepthGuard() { ++t_readDepth; }
  ~ReadDepthGuard() { --t_readDepth; }
  ReadDepthGuard(const ReadDepthGuard&) = delete;
  ReadDepthGuard& operator=(const ReadDepthGuard&) = delete;
};

struct StartPin {
  const CXmlElement* holder;  // the element the group reads in
  StartPin* outer;
};
inline thread_local StartPin* t_pins = nullptr;

struct StartPinGuard {
  StartPin pin;
  bool active;
  // Pins `holder` when `pinning`.
  StartPinGuard(const CXmlElement* holder, bool pinning) : pin{holder, t_pins}, active(pinning) {
    if (active) t_pins = &pin;
  }
  ~StartPinGuard() {
    if (active) t_pins = pin.outer;
  }
  StartPinGuard(const StartPinGuard&) = delete;
  StartPinGuard& operator=(const StartPinGuard&) = delete;
};

inline thread_local const CXmlElement* t_mixedElement = nullptr;

struct MixedScope {
  const CXmlElement* saved;
  bool active;
  MixedScope(const CXmlElement* element, bool mixed) : saved(t_mixedElement), active(mixed) {
    if (active) t_mixedElement = element;
  }
  ~MixedScope() {
    if (active) t_mixedElement = saved;
  }
  MixedScope(const MixedScope&) = delete;
  MixedScope& operator=(const MixedScope&) = delete;
};

struct ReleaseRun {
  CXmlElement* parent;       // the element whose children the run's items are
  const CXmlElement* first;  // the run's first item, kept
  int depth;                 // t_readDepth of the run's owner
  ReleaseRun* outer;
};
inline thread_local ReleaseRun* t_releaseRun = nullptr;

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

// An item's object starts to read `element`: when that is the next item of
// the open run, the items between the run's first and it are freed.
void NoteItemStartSlow(CXmlElement* element);
inline void NoteItemStart(CXmlElement* element) {
  if (t_releaseRun != nullptr) NoteItemStartSlow(element);
}

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_MODEL_DETAIL_RELEASE_H

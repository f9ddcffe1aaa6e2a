// Validating, what a model group read in place says besides the cursor it
// returns: whether it matched, possibly taking nothing. A choice learns
// from it that a branch may be empty.
#ifndef VXBIND_MODEL_DETAIL_GROUPMATCH_H
#define VXBIND_MODEL_DETAIL_GROUPMATCH_H

namespace VxVevAva5 {
namespace detail {

// Set by the driver's readers of model-group owners when they return,
// while validating only; whoever reads it clears it before the read.
inline thread_local bool t_groupMatched = false;

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_MODEL_DETAIL_GROUPMATCH_H

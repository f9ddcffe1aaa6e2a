#include "vxbind/base/NamespaceAliasMap.h"

#include <gtest/gtest.h>

#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;

TEST(CNamespaceAliasMap, KeyedAndOrderedByNamespace) {
  CNamespaceAliasMap m;
  m.Add(VX_T("a"), VX_T("urn:x"));
  m.Add(VX_T("b"), VX_T("urn:x"));
  EXPECT_EQ(m.GetNamespaceCount(), 1);
  EXPECT_EQ(ToUtf8(m.GetAliasFromNamespace(VX_T("urn:x"))), "b");

  m.Add(VX_T("p"), VX_T("urn:2"));
  m.Add(VX_T("p"), VX_T("urn:1"));
  EXPECT_EQ(ToUtf8(m.GetNamespaceAt(0)), "urn:1");
  EXPECT_EQ(ToUtf8(m.GetNamespaceFromAlias(VX_T("p"))), "urn:1");
  EXPECT_TRUE(m.DoesAliasExist(VX_T("p")));
  EXPECT_FALSE(m.DoesAliasExist(VX_T("a")));

  m.RemoveNamespace(VX_T("urn:unknown"));
  EXPECT_EQ(m.GetNamespaceCount(), 3);
  EXPECT_VX_THROW(m.GetNamespaceFromAlias(VX_T("zz")), CVxException,
                  "Namespace alias [zz] not found");

  // Looking up an unknown namespace leaves an empty entry behind.
  EXPECT_EQ(ToUtf8(m.GetAliasFromNamespace(VX_T("urn:new"))), "");
  EXPECT_TRUE(m.DoesNamespaceExist(VX_T("urn:new")));
  EXPECT_EQ(m.GetNamespaceCount(), 4);
}

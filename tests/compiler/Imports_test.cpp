// Schemas that include and import each other: classes generated at build
// time from data/imports (two C++ namespaces in one program), and the
// program's messages for what it cannot compile.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "GeneratedTesting.h"
#include "catalog.h"
#include "people.h"  // includes library.h, which includes people.h
#include "library.h"

namespace {

using namespace generated_testing;
namespace L = Imports::Library;
namespace C = Imports::Catalog;
namespace fs = std::filesystem;

const std::string kData = VXBINDC_TEST_DATA "/imports/";

TEST(Imports, DocumentOfTwoNamespacesRoundTrips) {
  const std::string xml = ReadFile(kData + "library.xml");
  CSmartPtr<L::CLibrary> library = Root<L::CLibrary>(
      L::CreateRootObject(VX_T("library"), VX_T("urn:vxbind:library")));
  ASSERT_NE(library, nullptr);
  library->FromXml(xml.c_str());
  EXPECT_EQ(TreeDifference(xml, library->ToXml()), "");

  EXPECT_EQ(U8(library->GetLang()), "en");
  CSmartPtr<L::CBook> book = library->GetBook()->Item(0);
  EXPECT_EQ(U8(book->GetAuthor()->GetLast()), "Lovelace");  // a type of the other namespace
  EXPECT_EQ(book->GetStatus(), L::Status_lent);              // from the chameleon part
  EXPECT_EQ(book->GetRole(), L::Role_editor);
  EXPECT_EQ(book->GetSpace(), L::Space_preserve);
  EXPECT_EQ(U8(book->GetNote()->GetValue()), "B-7");
  CSmartPtr<L::CPerson> person = library->GetPerson()->Item(0);  // by ref
  EXPECT_EQ(person->GetStanding(), L::Status_available);
  EXPECT_EQ(U8(person->GetFavourite()->GetTitle()), "Passages");
  EXPECT_EQ(person->GetHistory()->GetCount(), 2);
  EXPECT_EQ(U8(library->GetKeeper()->GetFirst()), "Mary");

  // Made by hand, each element in its own namespace: the people's local
  // elements unqualified, the library's qualified.
  CSmartPtr<L::CLibrary> made = new L::CLibrary;
  CSmartPtr<L::CPerson> someone = made->GetPerson()->Add();
  someone->GetName()->SetFirst(VX_T("A"));
  someone->GetName()->SetLast(VX_T("B"));
  someone->GetHistory()->Add(L::Status_lent);
  CSmartPtr<L::CBook> favourite = new L::CBook;
  favourite->SetShelf(VX_T("E-1"));
  favourite->SetTitle(VX_T("T"));
  favourite->GetAuthor()->SetFirst(VX_T("C"));
  favourite->GetAuthor()->SetLast(VX_T("D"));
  someone->SetFavourite(favourite);
  CSmartPtr<L::CBook> first = made->GetBook()->Add();
  first->SetShelf(VX_T("F-2"));
  first->SetTitle(VX_T("U"));
  first->GetAuthor()->SetFirst(VX_T("G"));
  first->GetAuthor()->SetLast(VX_T("H"));
  const char* expected =
      "<l:library xmlns:l='urn:vxbind:library' xmlns:p='urn:vxbind:people'>"
      "<l:book shelf='F-2'><l:title>U</l:title><l:author><first>G</first><last>H</last>"
      "</l:author><l:status>available</l:status></l:book>"
      "<p:person><name><first>A</first><last>B</last></name>"
      "<favourite shelf='E-1'><l:title>T</l:title><l:author><first>C</first><last>D</last>"
      "</l:author><l:status>available</l:status></favourite><history>lent</history>"
      "</p:person></l:library>";
  EXPECT_EQ(TreeDifference(expected, made->ToXml()), "");
}

// The catalog's C++ namespace holds the same schemas' classes again,
// generated into catalog.h: no clash with the other namespace's.
TEST(Imports, SecondNamespaceInTheSameProgram) {
  const std::string xml = ReadFile(kData + "catalog.xml");
  CSmartPtr<C::CCatalog> catalog =
      Root<C::CCatalog>(C::CreateRootObject(VX_T("catalog"), VX_T("urn:vxbind:catalog")));
  ASSERT_NE(catalog, nullptr);
  catalog->FromXml(xml.c_str());
  EXPECT_EQ(TreeDifference(xml, catalog->ToXml()), "");
  CSmartPtr<C::CPerson> person = catalog->GetPerson()->Item(0);
  EXPECT_EQ(person->GetRole(), C::Role_author);  // the default
  EXPECT_EQ(U8(person->GetFavourite()->GetAuthor()->GetLast()), "Hopper");
  EXPECT_EQ(C::CreateRootObject(VX_T("library"), VX_T("urn:vxbind:library")).get() != nullptr,
            true);
  EXPECT_EQ(L::CreateRootObject(VX_T("catalog"), VX_T("urn:vxbind:catalog")).get(), nullptr);
}

}  // namespace

// Run-time classes, files, the settings store and the user-interface hooks.
#include "platform/core/CFile.h"
#include "platform/core/CList.h"
#include "platform/core/CObject.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Hooks.h"
#include "platform/core/Settings.h"
#include "platform/ole/COleDispatchException.h"
#include "platform/tests/TempConfigHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class CCoreBase : public CObject {
    DECLARE_DYNCREATE(CCoreBase)
public:
    int untouched; // no initialiser: dynamic creation leaves it zero
};
IMPLEMENT_DYNCREATE(CCoreBase, CObject)

class CCoreDerived : public CCoreBase {
    DECLARE_SERIAL(CCoreDerived)
};
IMPLEMENT_SERIAL(CCoreDerived, CCoreBase, 2)


TEST(CoreRuntimeClass, RegistryAndDerivation)
{
    EXPECT_EQ(CRuntimeClass::FromName("CCoreDerived"), RUNTIME_CLASS(CCoreDerived));
    EXPECT_EQ(CRuntimeClass::FromName(L"CCoreBase"), RUNTIME_CLASS(CCoreBase));
    EXPECT_EQ(CRuntimeClass::FromName("CObList"), RUNTIME_CLASS(CObList));
    EXPECT_EQ(CRuntimeClass::FromName("NoSuchClass"), nullptr);
    EXPECT_FALSE(RUNTIME_CLASS(CCoreBase)->IsSerializable());
    EXPECT_EQ(RUNTIME_CLASS(CCoreDerived)->m_wSchema, 2u);

    std::unique_ptr<CObject> made(RUNTIME_CLASS(CCoreDerived)->CreateObject());
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CCoreBase)));
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(made->IsKindOf(RUNTIME_CLASS(CFile)));
    EXPECT_EQ(static_cast<CCoreBase*>(made.get())->untouched, 0);
    EXPECT_EQ(RUNTIME_CLASS(CFile)->CreateObject(), nullptr); // no factory

    const CInvalidArgException e;
    EXPECT_TRUE(e.IsKindOf(RUNTIME_CLASS(CException)));
}

TEST(CoreFile, DiskAndMemoryFiles)
{
    const auto path = std::filesystem::temp_directory_path() / ("lorimant_core_file_" + std::to_string(::getpid()));
    const CString name(path.string());
    {
        CFile f(name, CFile::modeCreate | CFile::modeReadWrite);
        f.Write("abcdef", 6);
        EXPECT_EQ(f.GetLength(), 6u);
        EXPECT_EQ(f.Seek(-2, CFile::end), 4u);
        char two[3] = {};
        EXPECT_EQ(f.Read(two, 5), 2u); // short read at the end
        EXPECT_STREQ(two, "ef");
        EXPECT_EQ(f.Read(two, 1), 0u);
        f.SetLength(3);
        EXPECT_EQ(f.GetLength(), 3u);
    }
    EXPECT_EQ(std::filesystem::file_size(path), 3u);
    std::filesystem::remove(path);

    try {
        CFile missing(name, CFile::modeRead);
        FAIL() << "opening a missing file succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_TRUE(e.m_strFileName == name);
    }

    CMemFile m(16);
    m.Write("xy", 2);
    m.Seek(4, CFile::begin);
    m.Write("z", 1); // the gap reads as zeros
    EXPECT_EQ(m.GetBytes(), (std::vector<BYTE>{'x', 'y', 0, 0, 'z'}));
    EXPECT_THROW(m.Seek(-1, CFile::begin), CFileException);
    m.SeekToBegin();
    char buf[8] = {};
    EXPECT_EQ(m.Read(buf, 8), 5u);
}

TEST(CoreSettings, ProfileValuesPersistInTheStore)
{
    test_support::TempConfigHome home;
    EXPECT_TRUE(Settings::StoreFile() == CString((home.dir() / "lorimant" / "settings.ini").string()));
    EXPECT_TRUE(Settings::GetProfileString(L"Print Information", L"field0", L"none") == L"none");
    EXPECT_EQ(Settings::GetProfileInt(L"Workspace", L"ApplicationLook", 33304), 33304u);

    EXPECT_TRUE(Settings::WriteProfileString(L"Print Information", L"field0", L"Quenholt = \u00B5 [x]\nline"));
    EXPECT_TRUE(Settings::WriteProfileInt(L"Workspace", L"ApplicationLook", 33306));
    EXPECT_TRUE(std::filesystem::exists(home.dir() / "lorimant" / "settings.ini"));
    EXPECT_TRUE(Settings::GetProfileString(L"Print Information", L"field0") == L"Quenholt = \u00B5 [x]\nline");
    EXPECT_EQ(Settings::GetProfileInt(L"Workspace", L"ApplicationLook", 0), 33306u);

    // A value that is not a number gives the default.
    Settings::WriteProfileString(L"Workspace", L"Broken", L"abc");
    EXPECT_EQ(Settings::GetProfileInt(L"Workspace", L"Broken", 5), 5u);

    EXPECT_TRUE(Settings::WriteProfileString(L"Print Information", L"field0", nullptr));
    EXPECT_TRUE(Settings::GetProfileString(L"Print Information", L"field0", L"gone") == L"gone");
}

TEST(CoreSettings, KeysExistEnumerateAndDeleteRecursively)
{
    test_support::TempConfigHome home;
    HKEY app = nullptr;
    EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, L"Software\\Quenholt", &app), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, L"Software\\Quenholt", &app), ERROR_SUCCESS);
    HKEY child = nullptr;
    ASSERT_EQ(RegCreateKey(app, L"B\\Deep", &child), ERROR_SUCCESS);
    ASSERT_EQ(RegSetString(child, nullptr, L"12"), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKey(app, L"A", &child), ERROR_SUCCESS);
    ASSERT_EQ(RegSetString(child, L"Value", L"x"), ERROR_SUCCESS);

    HKEY opened = nullptr;
    EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, L"software\\QUENHOLT\\b", &opened), ERROR_SUCCESS); // names ignore case
    CString value;
    EXPECT_EQ(RegOpenKey(app, L"B\\Deep", &opened), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryString(opened, L"", value), ERROR_SUCCESS);
    EXPECT_TRUE(value == L"12");
    EXPECT_EQ(RegQueryString(opened, L"Missing", value), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(RegKeyPath(opened) == L"HKEY_CURRENT_USER\\Software\\Quenholt\\B\\Deep");

    CString name;
    EXPECT_EQ(RegEnumKey(app, 0, name), ERROR_SUCCESS);
    EXPECT_TRUE(name == L"A");
    EXPECT_EQ(RegEnumKey(app, 1, name), ERROR_SUCCESS);
    EXPECT_TRUE(name == L"B");
    EXPECT_EQ(RegEnumKey(app, 2, name), ERROR_NO_MORE_ITEMS);

    EXPECT_EQ(RegDeleteKey(app, L"B"), ERROR_ACCESS_DENIED); // still has a sub-key
    EXPECT_EQ(RegDeleteTree(HKEY_CURRENT_USER, L"Software\\Quenholt"), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, L"Software\\Quenholt\\A", &opened), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, L"Software\\Quenholt", &opened), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(FormatSystemMessage(ERROR_SUCCESS).Find(L"successfully") >= 0);
}

TEST(CoreSettings, UserAndProgram)
{
    EXPECT_FALSE(GetLoginName().IsEmpty());
    EXPECT_FALSE(GetProfileFolder().IsEmpty());
    const CString program = GetProgramPath();
    EXPECT_TRUE(program.Right(15) == L"/platform_tests");
    EXPECT_TRUE(GetProgramFolder() + L"/platform_tests" == program);
}

TEST(CoreHooks, MessageBoxesAreRecordedAndAnsweredFromTheScript)
{
    Hooks::reset();
    EXPECT_EQ(AfxMessageBox(L"Selection is required", MB_ICONINFORMATION), IDOK);
    EXPECT_EQ(AfxMessageBox(L"Are you sure?", L"File Operations", MB_YESNO), IDYES);
    EXPECT_EQ(AfxMessageBox(L"Retry?", L"", MB_YESNO | MB_DEFBUTTON2), IDNO); // the default button
    Hooks::scriptAnswers({IDNO, IDCANCEL});
    EXPECT_EQ(AfxMessageBox(L"Are you sure?", L"File Operations", MB_YESNO), IDNO);
    EXPECT_EQ(AfxMessageBox("narrow \xC2\xB5", MB_OKCANCEL), IDCANCEL);

    const auto& boxes = Hooks::messageBoxes();
    ASSERT_EQ(boxes.size(), 5u);
    EXPECT_TRUE(boxes[0].text == L"Selection is required");
    EXPECT_TRUE(boxes[0].caption.IsEmpty());
    EXPECT_EQ(boxes[0].type, MB_ICONINFORMATION);
    EXPECT_TRUE(boxes[1].caption == L"File Operations");
    EXPECT_TRUE(boxes[4].text == L"narrow \u00B5");

    // An installed hook replaces the recording.
    int calls = 0;
    Hooks::setMessageBox([&](const CString&, const CString&, UINT) { return ++calls, IDRETRY; });
    EXPECT_EQ(AfxMessageBox(L"x"), IDRETRY);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(Hooks::messageBoxes().size(), 5u);
    Hooks::reset();
    EXPECT_TRUE(Hooks::messageBoxes().empty());
}

TEST(CoreHooks, WaitCursorAndStatusText)
{
    Hooks::reset();
    {
        CWaitCursor outer;
        {
            CWaitCursor inner;
            EXPECT_EQ(Hooks::waitCursorDepth(), 2);
        }
        EXPECT_EQ(Hooks::waitCursorDepth(), 1);
    }
    EXPECT_EQ(Hooks::waitCursorDepth(), 0);
    EXPECT_EQ(Hooks::waitCursorCount(), 2);
    AfxSetStatusText(L"Meshing...");
    ASSERT_EQ(Hooks::statusTexts().size(), 1u);
    EXPECT_TRUE(Hooks::statusTexts()[0] == L"Meshing...");

    // An exception reports its text through the same hook.
    const COleDispatchException e(1, L"Invalid radius");
    EXPECT_EQ(e.m_wCode, 1);
    e.ReportError();
    EXPECT_TRUE(Hooks::messageBoxes().back().text == L"Invalid radius");
    Hooks::reset();
}

TEST(CoreExceptions, ThrownByValue)
{
    try {
        AfxThrowOleDispatchException(1001, "Group not found.");
        FAIL() << "AfxThrowOleDispatchException returned";
    } catch (const COleDispatchException& e) {
        EXPECT_EQ(e.m_wCode, 1001);
        EXPECT_TRUE(e.m_strDescription == L"Group not found.");
        wchar_t buf[6];
        EXPECT_TRUE(e.GetErrorMessage(buf, 6));
        EXPECT_STREQ(buf, L"Group"); // truncated to the buffer
    }
    EXPECT_THROW(AfxThrowInvalidArgException(), CException);
    EXPECT_THROW(AfxThrowMemoryException(), std::bad_alloc);
}

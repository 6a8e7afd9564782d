// The Application object apart from its windows: the module it stands for,
// identity, the main-window rule, its lock, and string resources loaded
// through the process's one growing buffer.
#include <wivel/application.h>
#include <wivel/cursor_icon.h>
#include <wivel/dc.h>
#include <wivel/except.h>

#include <windows.h>
#include <winapi/host.h>

#include <ResourceImage.h>
#include <TestResourceIds.h>
#include <TestResourceImage.h>
#include <resource.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

namespace {

using wivel::Application;

class ApplicationObject : public ::testing::Test {
protected:
    void SetUp() override { winapi::host::setResourceImage(vexloTestResourceImage, vexloTestResourceImageSize); }
    void TearDown() override { winapi::host::clearFailures(); }

    Application m_application;
};

// The text that test.rc gives a string of `length` characters.
std::string textOfLength(std::size_t length)
{
    const std::string head = "Text of " + std::to_string(length) + " characters ";
    return head + std::string(length - head.size(), '.');
}

TEST_F(ApplicationObject, StandsForTheProgramsModule)
{
    EXPECT_EQ(m_application.instance(), GetModuleHandleA(nullptr));
    const Application other;
    EXPECT_TRUE(m_application.equals(&other));
    EXPECT_TRUE(m_application == other);
    EXPECT_EQ(m_application.toHash(), other.toHash());
    const wivel::DCState notAnApplication;
    EXPECT_FALSE(m_application.equals(&notAnApplication));
    EXPECT_FALSE(m_application.equals(nullptr));
}

TEST_F(ApplicationObject, MainWindowIsSetOnce)
{
    // Stands in for window objects; the Application never looks inside.
    int first = 0;
    int second = 0;
    auto* window = reinterpret_cast<wivel::WindowBase*>(&first);
    auto* another = reinterpret_cast<wivel::WindowBase*>(&second);

    EXPECT_EQ(m_application.mainWindow(), nullptr);
    EXPECT_EQ(m_application.activeWindow(), nullptr);
    EXPECT_THROW(m_application.mainWindow(nullptr), wivel::AssertionFailure);
    EXPECT_EQ(m_application.mainWindow(window), window);
    EXPECT_EQ(m_application.mainWindow(), window);
    EXPECT_THROW(m_application.mainWindow(another), wivel::AssertionFailure);
    EXPECT_EQ(m_application.mainWindow(), window);
}

TEST_F(ApplicationObject, LockIsRecursiveAndExclusive)
{
    std::scoped_lock outer(m_application);
    std::scoped_lock inner(m_application);
    bool otherThreadGotIt = true;
    std::thread([&] {
        otherThreadGotIt = m_application.try_lock();
        if (otherThreadGotIt)
            m_application.unlock();
    }).join();
    EXPECT_FALSE(otherThreadGotIt);
}

// The buffer starts at 32 characters and doubles whenever a text fills it.
// It is shared by the whole process and never shrinks, so each expectation
// allows for what earlier loads left behind.
TEST_F(ApplicationObject, StringBufferGrowsByDoubling)
{
    struct Case {
        UINT id;
        std::size_t length;
        std::size_t capacityNeeded;
    };
    const Case cases[] {
        { IDS_LENGTH_30, 30, 32 },
        { IDS_LENGTH_31, 31, 64 },
        { IDS_LENGTH_100, 100, 128 },
        { IDS_LENGTH_63, 63, 128 },
        { IDS_LENGTH_30, 30, 128 },
    };
    for (const Case& c : cases) {
        const std::size_t before = Application::stringBufferCapacity();
        EXPECT_EQ(m_application.stringTable(c.id), textOfLength(c.length));
        EXPECT_EQ(Application::stringBufferCapacity(), std::max(before, c.capacityNeeded)) << c.length;
    }
}

TEST_F(ApplicationObject, StringFailures)
{
    try {
        m_application.stringTable(IDS_MISSING);
        ADD_FAILURE() << "no exception";
    } catch (const wivel::DefinedAPIException& e) {
        EXPECT_EQ(e.errorCode(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
        const std::string expected = "Exception 1814 in Windows API call LoadStringA in Application.stringTable:\n";
        EXPECT_EQ(std::string(e.what()).substr(0, expected.size()), expected);
    }
    // The platform reports an empty string as zero characters with no code.
    EXPECT_EQ(m_application.stringTable(IDS_EMPTY), "");

    // A failure that reports no code yields an empty text, not whatever an
    // earlier load left in the shared buffer.
    EXPECT_EQ(m_application.stringTable(IDS_LENGTH_100), textOfLength(100));
    winapi::host::failNext("LoadStringA", 1, 0);
    EXPECT_EQ(m_application.stringTable(IDS_LENGTH_100), "");
    winapi::host::failNext("LoadStringA", 1, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_THROW(m_application.stringTable(IDS_LENGTH_30), wivel::DefinedAPIException);
}

TEST_F(ApplicationObject, LoadsImagesOfItsModule)
{
    EXPECT_NE(m_application.loadCursor(IDC_TEST_POINTER), nullptr);
    const std::size_t releaseFailures = wivel::releaseFailureCount();
    // Missing images are no failure.
    EXPECT_EQ(m_application.loadCursor(999), nullptr);
    EXPECT_EQ(m_application.loadCursor("NoSuchCursor"), nullptr);

    winapi::host::setResourceImage(vexloResourceImage, vexloResourceImageSize);
    const HICON icon = m_application.loadIcon(IDI_SOLVER);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(wivel::Icon(icon, false).size(), wivel::Size(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)));
    EXPECT_EQ(m_application.loadIcon(IDI_SOLVER), icon) << "loaded once and shared";
    EXPECT_EQ(m_application.loadIcon(99), nullptr);
    EXPECT_EQ(m_application.loadIcon("NoSuchIcon"), nullptr);
    EXPECT_EQ(wivel::releaseFailureCount(), releaseFailures);
}

}

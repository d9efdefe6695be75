#include "tests/engine/StoreTestSupport.h"

#include "engine/StoreFaults.h"

namespace {

std::vector<QByteArray> Names(const std::vector<TFolderProps>& folders)
{
    std::vector<QByteArray> names;
    for (const auto& f : folders)
        names.push_back(f.Name);
    return names;
}

} // namespace

TEST_F(StoreTest, NewStoreHoldsTheRootAndTheFiveSpecialFolders)
{
    const auto children = Children(kRootFolderId);
    ASSERT_EQ(children.size(), 5u);
    const std::vector<QByteArray> expected{"Inbox", "Outbox", "Sent Items", "Deleted Items", "Drafts"};
    EXPECT_EQ(Names(children), expected);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(children[i].SpecialType, i);
        EXPECT_EQ(children[i].ParentId, kRootFolderId);
    }
    EXPECT_EQ(Props(kRootFolderId).SubFolderCount, 5);
}

TEST_F(StoreTest, ChildrenComeInCreationOrderAndIdsAreNeverReused)
{
    const TStoreId a = NewFolder(kInbox, "b-second-name");
    const TStoreId b = NewFolder(kInbox, "a-first-name");
    EXPECT_EQ(Names(Children(kInbox)), (std::vector<QByteArray>{"b-second-name", "a-first-name"}));
    ASSERT_EQ(FStore.DeleteFolder(b, 0), srOk);                 // into Deleted Items
    ASSERT_EQ(FStore.DeleteFolder(b, 0), srOk);                 // now final
    const TStoreId c = NewFolder(kInbox, "third");
    EXPECT_GT(c, b);
    EXPECT_GT(b, a);
}

TEST_F(StoreTest, RenameMoveAndDeleteOfAFolder)
{
    const TStoreId work = NewFolder(kInbox, "Work");
    const TStoreId sub = NewFolder(work, "Sub");
    EXPECT_EQ(FStore.RenameFolder(work, 0, "Job"), srOk);
    EXPECT_EQ(Props(work).Name, "Job");
    EXPECT_EQ(FStore.MoveFolder(work, kDrafts, 0), srOk);
    EXPECT_EQ(Props(work).ParentId, kDrafts);
    EXPECT_EQ(Props(sub).ParentId, work);

    // Outside Deleted Items a deletion moves the folder (with its subtree) there.
    EXPECT_EQ(FStore.DeleteFolder(work, 0), srOk);
    EXPECT_EQ(Props(work).ParentId, kDeletedItems);
    EXPECT_EQ(Props(sub).ParentId, work);

    // Inside it, the deletion is final for the whole subtree and its messages.
    Save(sub, "Subject: x\r\n\r\nbody\r\n");
    EXPECT_EQ(FStore.DeleteFolder(work, 0), srOk);
    TFolderProps props;
    EXPECT_EQ(FStore.GetFolderProperties(work, 0, props), srNotFound);
    EXPECT_EQ(FStore.GetFolderProperties(sub, 0, props), srNotFound);
}

struct TBadFolderCase {
    const char* Name;
    std::function<TStoreResult(TStoreNamespace&, TStoreId folder, TStoreId child)> Call;
};

void PrintTo(const TBadFolderCase& c, std::ostream* out)
{
    *out << c.Name;
}

class BadFolderOperation : public StoreTest, public ::testing::WithParamInterface<TBadFolderCase>
{
};

// Each bad call fails and leaves the folder tree exactly as it was.
TEST_P(BadFolderOperation, FailsAndChangesNothing)
{
    const TStoreId folder = NewFolder(kInbox, "Folder");
    const TStoreId child = NewFolder(folder, "Child");
    auto snapshot = [&] {
        std::vector<QByteArray> all;
        for (TStoreId id : {kInbox, folder, child, kDeletedItems})
            for (const auto& f : Children(id))
                all.push_back(QByteArray::number(id) + '/' + f.Name);
        return all;
    };
    const auto before = snapshot();
    EXPECT_NE(GetParam().Call(FStore, folder, child), srOk);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(Props(folder).Name, "Folder");
}

INSTANTIATE_TEST_SUITE_P(
    Store, BadFolderOperation,
    ::testing::Values(
        TBadFolderCase{"NameOver255Bytes", [](TStoreNamespace& s, TStoreId f, TStoreId) {
            return s.CreateFolder(f, QByteArray(256, 'x'), 0, nullptr); }},
        TBadFolderCase{"EmptyName", [](TStoreNamespace& s, TStoreId f, TStoreId) {
            return s.CreateFolder(f, QByteArray(), 0, nullptr); }},
        TBadFolderCase{"NameWithNul", [](TStoreNamespace& s, TStoreId f, TStoreId) {
            return s.RenameFolder(f, 0, QByteArray("a\0b", 3)); }},
        TBadFolderCase{"NameWithLineFeed", [](TStoreNamespace& s, TStoreId f, TStoreId) {
            return s.CreateFolder(f, "a\nb", 0, nullptr); }},
        TBadFolderCase{"NameWithEscape", [](TStoreNamespace& s, TStoreId f, TStoreId) {
            return s.CreateFolder(f, "\x1b[2J", 0, nullptr); }},
        TBadFolderCase{"RenameWithTab", [](TStoreNamespace& s, TStoreId f, TStoreId) {
            return s.RenameFolder(f, 0, "a\tb"); }},
        TBadFolderCase{"RenameWithDelete", [](TStoreNamespace& s, TStoreId f, TStoreId) {
            return s.RenameFolder(f, 0, "a\x7f"); }},
        TBadFolderCase{"RenameTooLong", [](TStoreNamespace& s, TStoreId f, TStoreId) {
            return s.RenameFolder(f, 0, QByteArray(300, 'y')); }},
        TBadFolderCase{"CreateInUnknownParent", [](TStoreNamespace& s, TStoreId, TStoreId) {
            return s.CreateFolder(4242, "x", 0, nullptr); }},
        TBadFolderCase{"RenameUnknown", [](TStoreNamespace& s, TStoreId, TStoreId) {
            return s.RenameFolder(4242, 0, "x"); }},
        TBadFolderCase{"MoveBelowItself", [](TStoreNamespace& s, TStoreId f, TStoreId c) {
            return s.MoveFolder(f, c, 0); }},
        TBadFolderCase{"MoveOntoItself", [](TStoreNamespace& s, TStoreId f, TStoreId) {
            return s.MoveFolder(f, f, 0); }},
        TBadFolderCase{"MoveToUnknownParent", [](TStoreNamespace& s, TStoreId f, TStoreId) {
            return s.MoveFolder(f, 4242, 0); }},
        TBadFolderCase{"MoveTheRoot", [](TStoreNamespace& s, TStoreId f, TStoreId) {
            return s.MoveFolder(kRootFolderId, f, 0); }},
        TBadFolderCase{"MoveASpecialFolder", [](TStoreNamespace& s, TStoreId f, TStoreId) {
            return s.MoveFolder(kOutbox, f, 0); }},
        TBadFolderCase{"DeleteASpecialFolder", [](TStoreNamespace& s, TStoreId, TStoreId) {
            return s.DeleteFolder(kInbox, 0); }},
        TBadFolderCase{"DeleteTheRoot", [](TStoreNamespace& s, TStoreId, TStoreId) {
            return s.DeleteFolder(kRootFolderId, 0); }},
        TBadFolderCase{"DeleteUnknown", [](TStoreNamespace& s, TStoreId, TStoreId) {
            return s.DeleteFolder(kNoStoreId, 0); }},
        TBadFolderCase{"RenameASpecialFolder", [](TStoreNamespace& s, TStoreId, TStoreId) {
            return s.RenameFolder(kDrafts, 0, "x"); }},
        TBadFolderCase{"InjectedCreateFailure", [](TStoreNamespace& s, TStoreId f, TStoreId) {
            TStoreFaults::Inject(TStoreOp::CreateFolder, 1);
            return s.CreateFolder(f, "x", 0, nullptr); }},
        TBadFolderCase{"InjectedMoveFailure", [](TStoreNamespace& s, TStoreId, TStoreId c) {
            TStoreFaults::Inject(TStoreOp::MoveFolder, 1);
            return s.MoveFolder(c, kInbox, 0); }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(StoreTest, NameOfExactly255BytesIsAccepted)
{
    const QByteArray name(255, 'n');
    const TStoreId id = NewFolder(kInbox, name.constData());
    EXPECT_EQ(Props(id).Name, name);
}

TEST_F(StoreTest, EnumerationOfAnUnknownFolderFailsWithoutLeakingAHandle)
{
    TFolderProps props;
    TEnumHandle handle = 77;
    EXPECT_EQ(FStore.GetFirstSubFolder(4242, props, handle), srNotFound);
    EXPECT_EQ(FStore.GetSubFolderClose(handle), srOk);
    EXPECT_EQ(FStore.GetFirstSubFolder(kDrafts, props, handle), srNoMore);
    EXPECT_EQ(FStore.OpenEnumerationCount(), 1u);
    EXPECT_EQ(FStore.GetSubFolderClose(handle), srOk);
}

TEST_F(StoreTest, InjectedFailuresFailTheNextCallsAfterTheGivenNumber)
{
    TStoreFaults::Inject(TStoreOp::CreateFolder, 2, 1);
    TStoreId id = kNoStoreId;
    EXPECT_EQ(FStore.CreateFolder(kInbox, "one", 0, &id), srOk);
    EXPECT_EQ(FStore.CreateFolder(kInbox, "two", 0, &id), srInjectedFailure);
    EXPECT_EQ(FStore.CreateFolder(kInbox, "three", 0, &id), srInjectedFailure);
    EXPECT_EQ(FStore.CreateFolder(kInbox, "four", 0, &id), srOk);
    EXPECT_EQ(Names(Children(kInbox)), (std::vector<QByteArray>{"one", "four"}));
}

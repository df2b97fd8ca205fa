#pragma once

// TDataSource connects one data set to any number of data links; a data link is how a control
// (grid, navigator, editor) follows a data set. Derive from TDataLink and override the
// notifications you need.
//
// What a link hears, and when:
//   ActiveChanged    the data set opened or closed, or the link was attached to another one
//   EditingChanged   the data set entered or left edit/insert state
//   DataSetChanged   the record window was rebuilt: First, Last, Resync, GotoBookmark, Post,
//                    Cancel, Delete, Insert, Append, a MoveBy that changed the number of
//                    buffered records, a change of the buffer count; also what EnableControls
//                    delivers for notices it held back
//   DataSetScrolled  MoveBy moved the active record; distance is how far the link's own window
//                    moved (positive: toward the end). The default calls DataSetChanged
//   RecordChanged    a field of the active record changed (field given) or editing began
//                    (field null). DataSetChanged's default calls RecordChanged(nullptr)
//   LayoutChanged    a field's caption or width changed. The default calls DataSetChanged
//
// While the data set's controls are disabled, links hear nothing; EnableControls delivers what
// they missed in one go, synchronously, before it returns. A control that disables controls to
// move the cursor itself (to read rows through bookmarks, say) and moves it back can keep a flag
// set across its EnableControls call and ignore the DataSetChanged it causes.
//
// A link's buffer count is how many records around the active one it wants buffered; the data
// set keeps the largest count of all its links (at least one). ActiveRecord() and RecordCount()
// describe the link's part of the window; SetActiveRecord() makes another buffered record the
// one fields read (to paint several rows), and must be set back before anything else happens.
//
// Lifetimes: a data source and a data link may be destroyed in any order, and before or after
// their data set; each detaches itself. Notifications arrive on the thread that changed the
// data set.

#include <vector>

#include "db/DbTypes.h"

namespace tavisto {

class TDataSet;
class TDataLink;
class TField;

class TDataSource {
public:
    TDataSource() = default;
    explicit TDataSource(TDataSet* dataSet) { SetDataSet(dataSet); }
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;
    ~TDataSource();

    TDataSet* DataSet() const { return dataSet_; }
    // Links hear ActiveChanged when the old or the new data set is active.
    void SetDataSet(TDataSet* dataSet);
    // The data set's state; dsInactive without a data set.
    TDataSetState State() const;

private:
    friend class TDataSet;
    friend class TDataLink;

    void AddLink(TDataLink& link);
    void RemoveLink(TDataLink& link);
    void Notify(TDataEvent event, TField* field, int info);
    void DataSetDestroyed();

    TDataSet* dataSet_ = nullptr;
    std::vector<TDataLink*> links_;
};

class TDataLink {
public:
    TDataLink() = default;
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;
    virtual ~TDataLink();

    TDataSource* DataSource() const { return dataSource_; }
    void SetDataSource(TDataSource* source);
    // The data source's data set, or null.
    TDataSet* DataSet() const;
    // Attached to an open data set.
    bool Active() const { return active_; }
    // The data set is in edit or insert state.
    bool Editing() const { return editing_; }

    int BufferCount() const { return bufferCount_; }
    // Values below 1 count as 1.
    void SetBufferCount(int count);
    // Index of the active record within the link's window, 0 to RecordCount() - 1.
    int ActiveRecord() const;
    // Requires: active, 0 <= index < RecordCount().
    void SetActiveRecord(int index);
    // Records in the link's window (at most BufferCount()).
    int RecordCount() const;

protected:
    virtual void ActiveChanged() {}
    virtual void EditingChanged() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int /*distance*/) { DataSetChanged(); }
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* /*field*/) {}

private:
    friend class TDataSource;

    void HandleEvent(TDataEvent event, TField* field, int info);
    // Follows the data set's state; reopened: the data set was closed or opened meanwhile.
    void UpdateState(bool reopened);
    void UpdateRange();

    TDataSource* dataSource_ = nullptr;
    int bufferCount_ = 1;
    int firstRecord_ = 0;
    bool active_ = false;
    bool editing_ = false;
};

}  // namespace tavisto

// Layout engine: the rectangle record and its list, the greedy strip packer for one sheet,
// the sheet-selection loop that forms layout groups, and the per-layout and per-sheet summaries.
//
// Standard C++ only. The engine never throws, never divides by zero and never reads outside its
// lists, whatever the input: unusual input gives an empty or partial result and the Execpt flag.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

// Orientation of a part and running direction of a strip. The engine stores only none,
// horizontal and vertical; both is interpreted like vertical.
enum class TOrient : std::uint8_t { none = 0, horizontal = 1, vertical = 2, both = 3 };

class TMaterialTypeList;

// One rectangle record. The same record is a part kind, a sheet kind, a strip on a sheet, a
// layout-group record, a per-sheet-kind total or a per-layout part summary; which fields mean
// what depends on the list it lives in.
//
// A record either belongs to exactly one TMaterialTypeList (which owns it) or stands alone.
// Records are not copyable; Assign copies the fields.
class TMaterialType
{
public:
    TMaterialType() = default;
    TMaterialType(const TMaterialType &) = delete;
    TMaterialType &operator=(const TMaterialType &) = delete;
    ~TMaterialType() = default;

    // Copies every field from Source. Text is taken through Source.GetText (which may fill
    // Source's empty Text), and the orientation through SetOrient, so Width and Height end up
    // normalised to the copied orientation.
    void Assign(TMaterialType &Source);

    // Width x Height in 64 bits.
    std::int64_t GetArea() const;
    // Fills an empty Text with Name, then returns Text.
    const std::string &GetText();
    const std::string &GetDisplayName() { return GetText(); }

    // Position in the owning list, or -1 for a record that belongs to no list.
    int Index() const { return FIndex; }
    TMaterialTypeList *Collection() const { return FCollection; }

    int X() const { return FX; }
    void SetX(int Value) { FX = Value; }
    int Y() const { return FY; }
    void SetY(int Value) { FY = Value; }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    const std::string &Name() const { return FName; }
    void SetName(const std::string &Value);
    // The display name: reading it fills an empty Text with Name.
    const std::string &Text() { return GetText(); }
    void SetText(const std::string &Value) { FText = Value; }
    TOrient Orient() const { return FOrient; }
    // Stores the orientation, then swaps Width and Height if needed: horizontal gives
    // Width >= Height, anything else Width <= Height.
    void SetOrient(TOrient Value);
    TOrient Range() const { return FRange; }
    void SetRange(TOrient Value) { FRange = Value; }
    int Count() const { return FCount; }
    void SetCount(int Value) { FCount = Value; }
    int UsedCount() const { return FUsedCount; }
    void SetUsedCount(int Value) { FUsedCount = Value; }
    // MaxWidth and MaxHieght hold a coordinate (strips) or an area (layout groups); they are
    // 64-bit so that the area of a large sheet fits.
    std::int64_t MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(std::int64_t Value) { FMaxWidth = Value; }
    std::int64_t MaxHieght() const { return FMaxHeight; }
    void SetMaxHieght(std::int64_t Value) { FMaxHeight = Value; }
    int Group() const { return FGroup; }
    void SetGroup(int Value);
    int Blade() const { return FBlade; }
    void SetBlade(int Value) { FBlade = Value; }
    double Price() const { return FPrice; }
    void SetPrice(double Value) { FPrice = Value; }
    // Part kinds: the part was entered with its shorter side as its length (长度); Width holds
    // the longer side all the same. The caller that fills MaterialTypeList sets it; the engine
    // copies it onto the strips of that kind, so that drawings and lists can give the size as
    // entered and mark a part that lies turned. Other roles: false.
    bool EnteredLengthShorter() const { return FEnteredLengthShorter; }
    void SetEnteredLengthShorter(bool Value) { FEnteredLengthShorter = Value; }

    // Grain. Part kind (and its strips): 顺纹, the part may not be turned on a sheet with grain:
    // its length (its longer side, or its shorter one when EnteredLengthShorter) runs along the
    // sheet's grain. Sheet kind (and its layout groups): the sheet has grain, running along its
    // length: along X (Width), or along Y when EnteredLengthShorter. A square part is never held,
    // as either way it lies the same. Default false: parts turn freely, sheets have no grain.
    bool Grain() const { return FGrain; }
    void SetGrain(bool Value) { FGrain = Value; }
    // Sheet kind (and its layout groups): edge trim in the unit of the sizes, cut off every edge
    // before layout. Parts lie inside (Trim, Trim) .. (Width - Trim, Height - Trim), reported in
    // whole-sheet coordinates; utilisation and price count the whole sheet. Default 0.
    int Trim() const { return FTrim; }
    void SetTrim(int Value) { FTrim = Value; }
    // Sheet kind: how many sheets of the kind a run may use; NoStockLimit (the default) for as
    // many as it needs.
    static constexpr int NoStockLimit = -1;
    int Stock() const { return FStock; }
    void SetStock(int Value) { FStock = Value; }
    bool StockLimited() const { return FStock >= 0; }

    // An index into another list (meaning depends on the role).
    int Data = 0;

private:
    friend class TMaterialTypeList;

    int FX = 0;
    int FY = 0;
    int FWidth = 0;
    int FHeight = 0;
    std::string FName;
    std::string FText;
    TOrient FOrient = TOrient::none;
    TOrient FRange = TOrient::none;
    int FCount = 0;
    int FUsedCount = 0;
    std::int64_t FMaxWidth = 0;
    std::int64_t FMaxHeight = 0;
    int FGroup = 0;
    int FBlade = 0;
    double FPrice = 0.0;
    bool FEnteredLengthShorter = false;
    bool FGrain = false;
    int FTrim = 0;
    int FStock = NoStockLimit;

    TMaterialTypeList *FCollection = nullptr;
    int FIndex = -1;
};

// Owning, ordered list of records.
class TMaterialTypeList
{
public:
    TMaterialTypeList() = default;
    TMaterialTypeList(const TMaterialTypeList &) = delete;
    TMaterialTypeList &operator=(const TMaterialTypeList &) = delete;
    ~TMaterialTypeList();

    int Count() const { return static_cast<int>(FItems.size()); }
    // The item at Index, or nullptr when Index is out of range.
    TMaterialType *GetItem(int Index) const;
    TMaterialType *Items(int Index) const { return GetItem(Index); }
    // Copies Value into the existing item at Index (through its Assign); does nothing when
    // Index is out of range.
    void SetItem(int Index, TMaterialType &Value);

    // Appends a new record named "M" + the smallest n >= 1 that no item of this list uses.
    TMaterialType *Add();
    // Item null: a new record named as by Add. Item in a list (this or another): moved here.
    // A negative Index means the last position; the item is then moved to Index (clamped to
    // the list). A record that belongs to no list must be handed over with the owning
    // overload; passing one here does nothing and returns nullptr.
    TMaterialType *AddItem(TMaterialType *Item, int Index);
    // Takes ownership of a record that belongs to no list.
    TMaterialType *AddItem(std::unique_ptr<TMaterialType> Item, int Index);
    TMaterialType *Insert(int Index) { return AddItem(nullptr, Index); }
    // Removes and destroys the item at Index (nothing when out of range).
    void Delete(int Index);
    // Destroys every item. RectCount is left alone.
    void Clear();
    // Makes room for Count items in all, so that adding that many allocates no more.
    void Reserve(int Count);

    // Appends a copy of every item of Source (Add, then the item's Assign, so each copy ends
    // with the source item's Name) and takes Source's RectCount. Items already here stay.
    void Assign(TMaterialTypeList &Source);

    // Sum of Count / UsedCount over all items, held to the signed 32-bit range.
    int GetSumCount() const;
    int GetUsedSumCount() const;
    // Sum over all items of Count x GetArea, in 64 bits (held to the 64-bit range).
    std::int64_t GetAreaSum() const;

    int RectCount() const { return FRectCount; }
    void SetRectCount(int Value) { FRectCount = Value; }

    // Grows whenever an item joins, leaves or moves, or an item's Group changes: what is built
    // from the list's groups stays valid while this stays the same.
    std::uint64_t Version() const { return FVersion; }

private:
    friend class TMaterialType;

    TMaterialType *Attach(std::unique_ptr<TMaterialType> Item, int Index);
    std::unique_ptr<TMaterialType> Detach(TMaterialType *Item);
    void Renumber(int From, int To);
    void NameAdded(const std::string &Name);
    void NameRemoved(const std::string &Name);
    std::string FreeName();

    std::vector<std::unique_ptr<TMaterialType>> FItems;
    int FRectCount = 0;
    std::uint64_t FVersion = 0;
    // How many items carry the name "M<n>", by n; every n below FFreeHint is in use.
    std::unordered_map<std::int64_t, int> FNumberUse;
    std::int64_t FFreeHint = 1;
};

// A free rectangle of the sheet being packed; Right and Bottom are exclusive.
struct TRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// Raised once per committed layout group: layout-group number, position of its sheet kind in
// BCTypeList and number of identical sheets. A run that ends with parts left over raises it once
// more with BCindex -1 and RectCount 0 ("no layout").
using TNewRectListEvent = std::function<void(int Group, int BCindex, int RectCount)>;

namespace deep {
struct TProblem;
struct TSolution;
} // namespace deep

// Progress of a deep run (GoWorkDeep): the best layout found so far against the lower bound.
struct TDeepProgress
{
    // Of the best layout so far: total sheet area (square units), or total price with UseCost.
    double Objective = 0.0;
    // Proven lower bound on Objective for any layout of the job (see TDeepResult::Bound).
    double Bound = 0.0;
    std::int64_t Sheets = 0; // sheets of the best layout so far
    std::int64_t Placed = 0; // parts it places
    std::int64_t Parts = 0; // parts the job asks for that fit some sheet kind
    double Seconds = 0.0; // since the run started
};

// How a deep run is driven.
struct TDeepOptions
{
    // Budget: the run ends when either is spent. Milliseconds <= 0: no time limit. WorkLimit:
    // units of search work for the whole run (one core does roughly ten million a second), 0:
    // no limit. With neither limit the run gets one second.
    int Milliseconds = 1000;
    std::uint64_t WorkLimit = 0;
    // Searching threads, the calling one included (0: one per core). Each searches on its own
    // with its own share of WorkLimit; the best result wins, ties going to the lower thread.
    int Threads = 0;
    // Called on the calling thread, whenever the best layout improves (at most every 50 ms) and
    // at least every 100 ms, and once more at the end. It may keep a user interface alive and set
    // *Cancel; it must not touch the engine's lists.
    std::function<void(const TDeepProgress &)> OnProgress;
    // When set to true (from any thread), the run ends soon and keeps the best layout so far.
    const std::atomic<bool> *Cancel = nullptr;
    // When the time limit starts to count (a program's start, say, so that reading the job
    // counts too); by default the call of GoWorkDeep.
    std::optional<std::chrono::steady_clock::time_point> Start;

    // How the programs drive a deep run: a budget of Seconds (held to 1 ms .. 24 h) on every
    // core, or (WorkLimit > 0) that much search work on one thread, which gives the same layouts
    // on every run and machine.
    static TDeepOptions ForBudget(double Seconds, std::uint64_t WorkLimit);
};

// What a deep run found, beside the result lists.
struct TDeepResult
{
    bool Cost = false; // the objective was total price (UseCost), else total sheet area
    double Objective = 0.0; // of the result
    // Proven lower bound on the objective of any layout (guillotine or not) that places every
    // part that fits some sheet kind: the part area valued at the cheapest price per area each
    // part can have, raised where all sheet kinds are alike by counting sheets through dual
    // feasible functions, and by parts of which no two fit one sheet. Stock only narrows what
    // layouts may do, so the bound holds for complete layouts under stock too.
    double Bound = 0.0;
    double AreaBound = 0.0; // the plain area bound: part area (times the cheapest price per area)
    std::int64_t BoundSheets = 0; // with sheet kinds all alike: least number of sheets, else 0
    bool Optimal = false; // Objective reached Bound
    // Every part that fits some sheet kind was placed; false only when stock ran out. Optimal is
    // never set on a layout that is not complete.
    bool Complete = true;
    bool Cancelled = false;
    double Seconds = 0.0;
    std::uint64_t Work = 0; // units of search work done
};

// The engine object: input lists, the working state of the sheet being packed and the results.
class TRectManage
{
public:
    TRectManage() = default;
    TRectManage(const TRectManage &) = delete;
    TRectManage &operator=(const TRectManage &) = delete;
    ~TRectManage() = default;

    // Input: part kinds (Width, Height, Count, Text). A run updates UsedCount, Group and Data.
    TMaterialTypeList &MaterialTypeList() { return FMaterialTypeList; }
    // Input: sheet kinds (Width, Height, Blade, Price, Text).
    TMaterialTypeList &BCTypeList() { return FBCTypeList; }
    // Strips of the sheet packed last (working state, not a result).
    TMaterialTypeList &CreateMaterialList()
    {
        FlushTrialStrips();
        return FCreateMaterialList;
    }
    // Strips of every committed layout group, group by group.
    TMaterialTypeList &CreateRectList() { return FCreateRectList; }
    // One record per layout group, in step order.
    TMaterialTypeList &GroupList() { return FGroupList; }
    // Per-sheet-kind totals, filled by GetTotalBC.
    TMaterialTypeList &TotalBCList() { return FTotalBCList; }

    // Appends a part kind of mLength x mWidth with the given quantity.
    TMaterialType *Add(int mLength, int mWidth, int Count);
    // Appends a sheet kind of mLength x mWidth; the caller sets Blade, Price and Text on it.
    TMaterialType *AddBC(int mLength, int mWidth);

    // Lays out all part kinds on sheets. Each step packs one trial sheet of every sheet kind,
    // takes one trial (by utilisation, by cost with UseCost, and only a strictly larger sheet
    // with UseBCMaxArea), repeats it on as many sheets as the open quantities allow, commits it
    // as a layout group and raises OnNewRectList. The run is complete when every part kind has
    // UsedCount >= Count; a step that takes no trial ends it with Execpt set instead.
    void GoWork();
    // GoWork that asks Stop before every step while parts are left: when it answers true, the
    // run ends there as one whose step places nothing (Execpt, closing notification with
    // BCindex -1). The layout groups committed until then are as GoWork makes them.
    void GoWork(const std::function<bool()> &Stop);
    // The deep mode: guillotine layouts searched within a budget, for the least total sheet area
    // or, with UseCost, the least total price (UseBCMaxArea is not used). It fills the same result
    // lists as GoWork (GroupList with identical sheets grouped and counted, strips in
    // CreateRectList, part kinds' UsedCount, Group and Data, Execpt) and raises OnNewRectList on
    // the calling thread at the end, group by group, as GoWork does; call GetTotalBC afterwards.
    // Groups come in order of utilisation, best first. CreateMaterialList stays empty.
    //
    // Every layout keeps the parts inside the sheet and at least a kerf apart, no kerf being
    // needed at the sheet's edge, and is cut by edge-to-edge cuts of kerf width (in four stages:
    // columns, rows, slots and parts stacked in a slot, on the sheet or on the sheet turned).
    // Parts are turned where that helps. Part kinds of the same size are one kind for the
    // search, wherever they are written; their parts go back to them in list order. Every part
    // that fits some sheet kind is placed (unless stock runs out); Execpt is set when a part kind
    // with parts wanted fits no sheet kind (or has a side <= 0). The run starts from GoWork's
    // result (and, where part kinds of the same size are written apart, from GoWork's result with
    // them together, if better), with any sheet that the cuts cannot separate laid out again, so it
    // never ends worse than GoWork by its objective unless GoWork's layouts themselves cannot be
    // cut that way, or the time limit ends the run before GoWork does (what GoWork has not laid out
    // by then goes into simple shelves).
    //
    // Sheets are laid out inside their trim (reported in whole-sheet coordinates, valued whole).
    // A part held to its grain keeps its length along the grain of a sheet kind with grain (and
    // turns freely on the others); part kinds of the same size are one kind for the search only
    // where they are held alike. A sheet kind with a stock gives no more sheets than that; when
    // the stock of every kind the parts fit is used up, the layout places as many parts (then as
    // much part area) as it can find room for, and the run ends as one that cannot be completed
    // (Execpt, closing notification with BCindex -1, the parts left over with UsedCount below
    // their Count; DeepResult: Complete false, never Optimal).
    //
    // Deterministic: with a work limit, the result depends only on the input, WorkLimit and
    // Threads, unless the time limit or a cancel ends the run first.
    void GoWorkDeep(const TDeepOptions &Options = TDeepOptions());
    // Figures of the last GoWorkDeep run.
    const TDeepResult &DeepResult() const { return FDeepResult; }
    // Appends a copy of every sheet kind to TotalBCList with the number of sheets of that text
    // the run uses in UsedCount. Call once after each run.
    void GetTotalBC();
    // Number of TotalBCList items with UsedCount != 0.
    int TotalBCNum() const;
    int GetTotalBCNum() const { return TotalBCNum(); }
    // Part summary of one layout group (one item per distinct part text), or nullptr when the
    // group has no strips. The caller owns the result.
    std::unique_ptr<TMaterialTypeList> GetMTLByGroup(int group);
    // Positions in CreateRectList of the strips of layout group Group, in list order. Summaries
    // of every group of a run take time linear in the strips through it. The view stays valid
    // until CreateRectList changes.
    std::span<const int> StripsOfGroup(int Group);

    bool Execpt() const { return FExecpt; }
    bool UseCost() const { return FUseCost; }
    void SetUseCost(bool Value) { FUseCost = Value; }
    bool UseBCMaxArea() const { return FUseBCMaxArea; }
    void SetUseBCMaxArea(bool Value) { FUseBCMaxArea = Value; }
    const TNewRectListEvent &OnNewRectList() const { return FOnNewRectList; }
    void SetOnNewRectList(TNewRectListEvent Handler) { FOnNewRectList = std::move(Handler); }

    // Steps of a run, public so that they can be driven one by one.

    // Prepares a run: part kinds' UsedCount := 0, Execpt cleared, trial strips, committed
    // strips, free list, groups and totals emptied.
    void init();
    // Prepares the packing of one sheet: empties the free list and CreateMaterialList, takes
    // the sheet's size and kerf and puts the whole sheet into the free list.
    void StartSheet(int Width, int Height, int Blade);
    // Appends a free rectangle; the engine owns it from then on.
    void AddNullRect(std::unique_ptr<TRect> Rect);
    // Removes the rectangle (found by identity) from the free list and hands it back, or
    // returns nullptr when it is not in the list.
    std::unique_ptr<TRect> DeleNullRect(TRect *Rect);
    // The free rectangle to fill next (it stays in the list), or nullptr when the list is empty.
    // Reorders the list by exchanging rectangle contents; that order decides later ties.
    TRect *GetMaxNullRect();
    // The strip to put into the top-left corner of F, or nullptr. On success the chosen part
    // kind's UsedCount has been raised by the strip's Count. Leaves every part kind vertical.
    std::unique_ptr<TMaterialType> GetMaterialTypeGroup(const TRect &F);
    // Packs the current sheet, consuming the free list until it is empty.
    void GetNullRect();
    // One placement of GetNullRect: puts strip M into the top-left corner of free rectangle F
    // (already taken out of the free list). The strip is refused when its corner or far end
    // lies on a placed strip or when it comes closer than a kerf to one; otherwise a copy is
    // appended to CreateMaterialList and the right and bottom remainders of F join the free
    // list unless empty, dominated or with a covered corner. Returns whether it was placed.
    bool PlaceStrip(TMaterialType &M, const TRect &F);

    const std::vector<std::unique_ptr<TRect>> &NullRectList() const { return FNullRectList; }

    // Limits that keep absurd input (a sheet kilometres long cut into millimetre parts, say)
    // from running for hours; ordinary jobs stay far below all of them. A packing stops when its
    // sheet carries MaxStripsPerSheet strips; a remainder that would make the free list longer
    // than MaxNullRects is dropped (jobs of millimetre parts reach about 300); a run that still
    // has parts left after GroupLimit() layout groups ends as one whose step places nothing
    // (Execpt, closing notification GroupLimit() + 1, -1, 0). Ordinary jobs need about 1.2
    // layout groups per part kind.
    static constexpr int MaxStripsPerSheet = 2500;
    static constexpr int MaxNullRects = 1024;
    static constexpr int MaxGroups = 10000;
    static constexpr int MaxGroupsPerPartKind = 16;
    // max(MaxGroups, MaxGroupsPerPartKind x number of part kinds).
    int GroupLimit() const;

private:
    bool IsCovered(std::int64_t X, std::int64_t Y) const;
    bool OverlapsPlaced(const TMaterialType &M) const;
    bool IsDominated(const TRect &R) const;
    void AddRemainder(std::int64_t Left, std::int64_t Top, const TRect &F);
    void Notify(int Group, int BCindex, int RectCount);
    void FlushTrialStrips();
    // Writes a deep layout into the result lists and raises the notifications. The strips'
    // Item is the position of a part kind, not an item of P.
    void CommitDeep(const deep::TProblem &P, const deep::TSolution &S);

    TMaterialTypeList FMaterialTypeList;
    TMaterialTypeList FBCTypeList;
    TMaterialTypeList FCreateMaterialList;
    TMaterialTypeList FCreateRectList;
    TMaterialTypeList FGroupList;
    TMaterialTypeList FTotalBCList;
    std::vector<std::unique_ptr<TRect>> FNullRectList;
    int FWidth = 0;
    int FHeight = 0;
    int FBlade = 0;
    bool FExecpt = false;
    bool FUseBCMaxArea = false;
    bool FUseCost = false;
    TNewRectListEvent FOnNewRectList;

    // GoWork does not build records for the strips of its trials. Those of the last trial of the
    // latest step are kept here and become the items of CreateMaterialList when it is looked at.
    struct TPendingStrip
    {
        int Kind;
        int X, Y, Width, Height, Count;
        TOrient Orient, Range;
        std::int64_t MaxWidth, MaxHeight;
        int UsedCount; // of the part kind when the strip was chosen
        int Group; // of the part kind then
    };
    std::vector<TPendingStrip> FPendingStrips;
    bool FPending = false;

    TDeepResult FDeepResult;

    // CreateRectList's strip positions ordered by group, then position (StripsOfGroup), and the
    // list version they were taken from.
    std::vector<int> FStripGroups;
    std::vector<int> FStripPositions;
    std::uint64_t FStripIndexVersion = UINT64_MAX;
};

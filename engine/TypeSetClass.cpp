#include "TypeSetClass.h"

#include "SheetPacking.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <unordered_map>
#include <utility>

namespace {

constexpr std::int64_t Int32Max = INT32_MAX;
constexpr std::int64_t Int32Min = INT32_MIN;

// Sums and products that input of any size can push past 64 bits are held to the range.
std::int64_t SatAdd(std::int64_t A, std::int64_t B)
{
    std::int64_t R;
    if (__builtin_add_overflow(A, B, &R))
        return B > 0 ? INT64_MAX : INT64_MIN;
    return R;
}

std::int64_t SatMul(std::int64_t A, std::int64_t B)
{
    std::int64_t R;
    if (__builtin_mul_overflow(A, B, &R))
        return ((A < 0) != (B < 0)) ? INT64_MIN : INT64_MAX;
    return R;
}

int ClampToInt(std::int64_t V)
{
    return static_cast<int>(std::clamp(V, Int32Min, Int32Max));
}

// n when Name is "M" followed by the decimal number n >= 1 (no leading zeros), else 0.
std::int64_t NameNumber(const std::string &Name)
{
    if (Name.size() < 2 || Name.size() > 19 || Name[0] != 'M' || Name[1] == '0')
        return 0;
    std::int64_t N = 0;
    for (std::size_t i = 1; i < Name.size(); ++i) {
        const char C = Name[i];
        if (C < '0' || C > '9')
            return 0;
        N = N * 10 + (C - '0');
    }
    return N;
}

// The sides a sheet kind offers for layout once its trim is off, or nothing (Ok false) when the
// sheet is never packed: a side or the room left by the trim not above 0, a negative kerf or trim.
struct TUsable
{
    int Width = 0;
    int Height = 0;
    bool Ok = false;
};

TUsable UsableSides(const TMaterialType &S)
{
    TUsable U;
    if (S.Width() <= 0 || S.Height() <= 0 || S.Blade() < 0 || S.Trim() < 0)
        return U;
    const std::int64_t W = static_cast<std::int64_t>(S.Width()) - 2 * std::int64_t(S.Trim());
    const std::int64_t H = static_cast<std::int64_t>(S.Height()) - 2 * std::int64_t(S.Trim());
    if (W <= 0 || H <= 0)
        return U;
    U.Width = static_cast<int>(W);
    U.Height = static_cast<int>(H);
    U.Ok = true;
    return U;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TMaterialType

void TMaterialType::Assign(TMaterialType &Source)
{
    SetX(Source.X());
    SetY(Source.Y());
    SetWidth(Source.Width());
    SetHeight(Source.Height());
    SetCount(Source.Count());
    SetUsedCount(Source.UsedCount());
    SetName(Source.Name());
    SetText(Source.GetText());
    SetOrient(Source.Orient());
    SetRange(Source.Range());
    SetMaxWidth(Source.MaxWidth());
    SetMaxHieght(Source.MaxHieght());
    Data = Source.Data;
    SetGroup(Source.Group());
    SetPrice(Source.Price());
    SetBlade(Source.Blade());
    SetEnteredLengthShorter(Source.EnteredLengthShorter());
    SetGrain(Source.Grain());
    SetTrim(Source.Trim());
    SetStock(Source.Stock());
}

std::int64_t TMaterialType::GetArea() const
{
    return static_cast<std::int64_t>(FWidth) * FHeight;
}

const std::string &TMaterialType::GetText()
{
    if (FText.empty())
        FText = FName;
    return FText;
}

void TMaterialType::SetName(const std::string &Value)
{
    if (Value == FName)
        return;
    if (FCollection)
        FCollection->NameRemoved(FName);
    FName = Value;
    if (FCollection)
        FCollection->NameAdded(FName);
}

void TMaterialType::SetGroup(int Value)
{
    if (Value == FGroup)
        return;
    FGroup = Value;
    if (FCollection)
        ++FCollection->FVersion;
}

void TMaterialType::SetOrient(TOrient Value)
{
    FOrient = Value;
    if (Value == TOrient::horizontal) {
        if (FWidth < FHeight)
            std::swap(FWidth, FHeight);
    } else if (FHeight < FWidth) {
        std::swap(FWidth, FHeight);
    }
}

// ---------------------------------------------------------------------------------------------
// TMaterialTypeList

TMaterialTypeList::~TMaterialTypeList()
{
    Clear();
}

TMaterialType *TMaterialTypeList::GetItem(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FItems[static_cast<std::size_t>(Index)].get();
}

void TMaterialTypeList::SetItem(int Index, TMaterialType &Value)
{
    if (TMaterialType *Item = GetItem(Index))
        Item->Assign(Value);
}

void TMaterialTypeList::Renumber(int From, int To)
{
    ++FVersion;
    for (int i = std::max(From, 0); i <= To && i < Count(); ++i)
        FItems[static_cast<std::size_t>(i)]->FIndex = i;
}

void TMaterialTypeList::NameAdded(const std::string &Name)
{
    if (const std::int64_t N = NameNumber(Name))
        ++FNumberUse[N];
}

void TMaterialTypeList::NameRemoved(const std::string &Name)
{
    const std::int64_t N = NameNumber(Name);
    if (!N)
        return;
    auto It = FNumberUse.find(N);
    if (It == FNumberUse.end())
        return;
    if (--It->second == 0) {
        FNumberUse.erase(It);
        if (N < FFreeHint)
            FFreeHint = N;
    }
}

std::string TMaterialTypeList::FreeName()
{
    while (FNumberUse.count(FFreeHint))
        ++FFreeHint;
    return "M" + std::to_string(FFreeHint);
}

TMaterialType *TMaterialTypeList::Attach(std::unique_ptr<TMaterialType> Item, int Index)
{
    TMaterialType *Raw = Item.get();
    Raw->FCollection = this;
    Raw->FIndex = Count();
    ++FVersion;
    FItems.push_back(std::move(Item));
    NameAdded(Raw->FName);
    const int Last = Count() - 1;
    const int Target = (Index < 0 || Index > Last) ? Last : Index;
    if (Target != Last) {
        auto Begin = FItems.begin();
        std::rotate(Begin + Target, Begin + Last, Begin + Last + 1);
        Renumber(Target, Last);
    }
    return Raw;
}

std::unique_ptr<TMaterialType> TMaterialTypeList::Detach(TMaterialType *Item)
{
    const int At = Item->FIndex;
    std::unique_ptr<TMaterialType> Owned = std::move(FItems[static_cast<std::size_t>(At)]);
    ++FVersion;
    FItems.erase(FItems.begin() + At);
    Renumber(At, Count() - 1);
    NameRemoved(Owned->FName);
    Owned->FCollection = nullptr;
    Owned->FIndex = -1;
    return Owned;
}

TMaterialType *TMaterialTypeList::Add()
{
    auto Item = std::make_unique<TMaterialType>();
    Item->FName = FreeName();
    return Attach(std::move(Item), -1);
}

TMaterialType *TMaterialTypeList::AddItem(TMaterialType *Item, int Index)
{
    if (!Item) {
        auto Fresh = std::make_unique<TMaterialType>();
        Fresh->FName = FreeName();
        return Attach(std::move(Fresh), Index);
    }
    if (!Item->FCollection)
        return nullptr;
    // Moving within this list or out of another one: take it out, then put it at Index.
    std::unique_ptr<TMaterialType> Owned = Item->FCollection->Detach(Item);
    return Attach(std::move(Owned), Index);
}

TMaterialType *TMaterialTypeList::AddItem(std::unique_ptr<TMaterialType> Item, int Index)
{
    if (!Item)
        return AddItem(static_cast<TMaterialType *>(nullptr), Index);
    if (Item->FCollection)
        return nullptr; // owned by a list already; refuse rather than own it twice
    return Attach(std::move(Item), Index);
}

void TMaterialTypeList::Delete(int Index)
{
    if (TMaterialType *Item = GetItem(Index))
        Detach(Item);
}

void TMaterialTypeList::Clear()
{
    for (auto &Item : FItems) {
        Item->FCollection = nullptr;
        Item->FIndex = -1;
    }
    FItems.clear();
    ++FVersion;
    FNumberUse.clear();
    FFreeHint = 1;
}

void TMaterialTypeList::Reserve(int Count)
{
    if (Count <= 0)
        return;
    FItems.reserve(static_cast<std::size_t>(Count));
    FNumberUse.reserve(static_cast<std::size_t>(Count));
}

void TMaterialTypeList::Assign(TMaterialTypeList &Source)
{
    const int N = Source.Count();
    FItems.reserve(FItems.size() + static_cast<std::size_t>(N));
    for (int i = 0; i < N; ++i)
        Add()->Assign(*Source.FItems[static_cast<std::size_t>(i)]);
    FRectCount = Source.FRectCount;
}

int TMaterialTypeList::GetSumCount() const
{
    std::int64_t Sum = 0;
    for (const auto &Item : FItems)
        Sum += Item->FCount;
    return ClampToInt(Sum);
}

int TMaterialTypeList::GetUsedSumCount() const
{
    std::int64_t Sum = 0;
    for (const auto &Item : FItems)
        Sum += Item->FUsedCount;
    return ClampToInt(Sum);
}

std::int64_t TMaterialTypeList::GetAreaSum() const
{
    std::int64_t Sum = 0;
    for (const auto &Item : FItems)
        Sum = SatAdd(Sum, SatMul(Item->FCount, Item->GetArea()));
    return Sum;
}

// ---------------------------------------------------------------------------------------------
// TRectManage: input

TMaterialType *TRectManage::Add(int mLength, int mWidth, int Count)
{
    TMaterialType *Item = FMaterialTypeList.Add();
    Item->SetWidth(mLength);
    Item->SetHeight(mWidth);
    Item->SetCount(Count);
    return Item;
}

TMaterialType *TRectManage::AddBC(int mLength, int mWidth)
{
    TMaterialType *Item = FBCTypeList.Add();
    Item->SetWidth(mLength);
    Item->SetHeight(mWidth);
    return Item;
}

// ---------------------------------------------------------------------------------------------
// TRectManage: packing one sheet

void TRectManage::init()
{
    for (int i = 0; i < FMaterialTypeList.Count(); ++i)
        FMaterialTypeList.GetItem(i)->SetUsedCount(0);
    FExecpt = false;
    FPending = false;
    FPendingStrips.clear();
    FCreateMaterialList.Clear();
    FCreateRectList.Clear();
    FNullRectList.clear();
    FGroupList.Clear();
    FTotalBCList.Clear();
}

void TRectManage::StartSheet(int Width, int Height, int Blade)
{
    FNullRectList.clear();
    FPending = false;
    FPendingStrips.clear();
    FCreateMaterialList.Clear();
    FWidth = Width;
    FHeight = Height;
    FBlade = Blade;
    AddNullRect(std::make_unique<TRect>(TRect { 0, 0, Width, Height }));
}

void TRectManage::AddNullRect(std::unique_ptr<TRect> Rect)
{
    if (Rect)
        FNullRectList.push_back(std::move(Rect));
}

std::unique_ptr<TRect> TRectManage::DeleNullRect(TRect *Rect)
{
    for (auto It = FNullRectList.begin(); It != FNullRectList.end(); ++It) {
        if (It->get() == Rect) {
            std::unique_ptr<TRect> Owned = std::move(*It);
            FNullRectList.erase(It);
            return Owned;
        }
    }
    return nullptr;
}

TRect *TRectManage::GetMaxNullRect()
{
    auto Area = [](const TRect &R) {
        return static_cast<std::int64_t>(static_cast<std::int64_t>(R.Right) - R.Left)
            * (static_cast<std::int64_t>(R.Bottom) - R.Top);
    };
    const int N = static_cast<int>(FNullRectList.size());
    // A partial exchange sort: pass i compares position i with i+1 .. N-1-i only. Rectangles
    // are exchanged by content; the resulting order decides ties in later calls.
    for (int i = 0; i < N; ++i) {
        TRect &Li = *FNullRectList[static_cast<std::size_t>(i)];
        for (int j = i + 1; j <= N - 1 - i; ++j) {
            TRect &Lj = *FNullRectList[static_cast<std::size_t>(j)];
            if (Area(Li) < Area(Lj))
                std::swap(Li, Lj);
        }
    }
    return N > 0 ? FNullRectList.front().get() : nullptr;
}

std::unique_ptr<TMaterialType> TRectManage::GetMaterialTypeGroup(const TRect &F)
{
    const std::int64_t Lx = static_cast<std::int64_t>(F.Right) - F.Left;
    const std::int64_t Ly = static_cast<std::int64_t>(F.Bottom) - F.Top;
    const std::int64_t B = FBlade;
    const bool Usable = FBlade >= 0 && Lx > 0 && Ly > 0;

    // The best candidate so far: least leftover along its direction, then most part area.
    std::int64_t Best = static_cast<std::int64_t>(FWidth) * FHeight;
    std::int64_t BestArea = 0;
    TMaterialType *Chosen = nullptr;
    TOrient ChosenOrient = TOrient::none;
    TOrient ChosenRange = TOrient::none;
    std::int64_t ChosenCount = 0;
    std::int64_t ChosenMaxWidth = 0;
    std::int64_t ChosenMaxHeight = 0;

    auto Evaluate = [&](TMaterialType &P) {
        const std::int64_t W = P.Width();
        const std::int64_t H = P.Height();
        if (Lx < W || Ly < H)
            return;
        // A part kind with a non-positive side is never placed.
        if (W <= 0 || H <= 0 || !Usable)
            return;
        P.GetText(); // the candidate is a copy of P, and copying fills an empty Text
        const std::int64_t Rem = static_cast<std::int64_t>(P.Count()) - P.UsedCount();
        const std::int64_t Area = W * H;

        auto Consider = [&](TOrient Range, std::int64_t Length, std::int64_t Side) {
            const std::int64_t N = Length / (Side + B);
            const std::int64_t K = Rem >= N ? N : Rem;
            // A candidate of no parts places nothing and takes no part in the comparison.
            if (K < 1)
                return;
            const std::int64_t Leftover = Length - K * Side - (N - 1) * B;
            const std::int64_t KArea = K * Area;
            if (Leftover < Best || (Leftover == Best && KArea > BestArea)) {
                Best = Leftover;
                BestArea = KArea;
                Chosen = &P;
                ChosenOrient = P.Orient();
                ChosenRange = Range;
                ChosenCount = K;
                if (Range == TOrient::horizontal) {
                    ChosenMaxWidth = F.Left + K * W + (K - 1) * B;
                    ChosenMaxHeight = F.Top + H;
                } else {
                    ChosenMaxWidth = F.Left + W;
                    ChosenMaxHeight = F.Top + K * H + (K - 1) * B;
                }
            }
        };
        Consider(TOrient::horizontal, Lx, W);
        Consider(TOrient::vertical, Ly, H);
    };

    for (int i = 0; i < FMaterialTypeList.Count(); ++i) {
        TMaterialType &P = *FMaterialTypeList.GetItem(i);
        P.SetOrient(TOrient::horizontal);
        Evaluate(P);
        P.SetOrient(TOrient::vertical);
        Evaluate(P);
    }

    if (!Chosen)
        return nullptr;
    // The strip is a copy of the chosen part kind as it was when it won: same fields, its
    // orientation at that time, and the strip's own direction, count, edges and position.
    auto Result = std::make_unique<TMaterialType>();
    Result->Assign(*Chosen);
    Result->SetOrient(ChosenOrient);
    Result->SetRange(ChosenRange);
    Result->SetCount(static_cast<int>(ChosenCount));
    Result->SetMaxWidth(ChosenMaxWidth);
    Result->SetMaxHieght(ChosenMaxHeight);
    Result->Data = Chosen->Index();
    Chosen->SetUsedCount(static_cast<int>(Chosen->UsedCount() + ChosenCount));
    return Result;
}

bool TRectManage::IsCovered(std::int64_t X, std::int64_t Y) const
{
    // The covered rectangle of a strip leaves out the kerfs between its parts.
    for (int i = 0; i < FCreateMaterialList.Count(); ++i) {
        const TMaterialType &T = *FCreateMaterialList.GetItem(i);
        const std::int64_t Left = T.X();
        const std::int64_t Top = T.Y();
        std::int64_t Right, Bottom;
        if (T.Range() == TOrient::horizontal) {
            Right = Left + static_cast<std::int64_t>(T.Width()) * T.Count();
            Bottom = Top + T.Height();
        } else {
            Right = Left + T.Width();
            Bottom = Top + static_cast<std::int64_t>(T.Height()) * T.Count();
        }
        if (Left <= X && X < Right && Top <= Y && Y < Bottom)
            return true;
    }
    return false;
}

bool TRectManage::OverlapsPlaced(const TMaterialType &M) const
{
    // Strips grown by one kerf on their right and bottom sides must not meet: that keeps parts
    // apart by at least a kerf, which the single-point tests alone do not ensure.
    const std::int64_t B = FBlade;
    const std::int64_t L = M.X(), T = M.Y();
    const std::int64_t R = SatAdd(M.MaxWidth(), B), Bt = SatAdd(M.MaxHieght(), B);
    for (int i = 0; i < FCreateMaterialList.Count(); ++i) {
        const TMaterialType &S = *FCreateMaterialList.GetItem(i);
        const std::int64_t SL = S.X(), ST = S.Y();
        const std::int64_t SR = SatAdd(S.MaxWidth(), B), SB = SatAdd(S.MaxHieght(), B);
        if (L < SR && SL < R && T < SB && ST < Bt)
            return true;
    }
    return false;
}

bool TRectManage::IsDominated(const TRect &R) const
{
    for (const auto &E : FNullRectList) {
        if (E->Left >= R.Left && E->Top >= R.Top && E->Right >= R.Right && E->Bottom >= R.Bottom)
            return true;
    }
    return false;
}

void TRectManage::AddRemainder(std::int64_t Left, std::int64_t Top, const TRect &F)
{
    if (F.Right <= Left || F.Bottom <= Top)
        return;
    const TRect R { static_cast<int>(Left), static_cast<int>(Top), F.Right, F.Bottom };
    if (static_cast<int>(FNullRectList.size()) >= MaxNullRects || IsDominated(R)
        || IsCovered(R.Left, static_cast<std::int64_t>(R.Top) + 1))
        return;
    AddNullRect(std::make_unique<TRect>(R));
}

void TRectManage::GetNullRect()
{
    FlushTrialStrips();
    // A sheet with a non-positive side or a negative kerf is never packed.
    if (FWidth <= 0 || FHeight <= 0 || FBlade < 0) {
        FNullRectList.clear();
        return;
    }
    while (!FNullRectList.empty()) {
        if (FCreateMaterialList.Count() >= MaxStripsPerSheet) {
            FNullRectList.clear();
            break;
        }
        TRect *Max = GetMaxNullRect();
        std::unique_ptr<TMaterialType> M = GetMaterialTypeGroup(*Max);
        const std::unique_ptr<TRect> F = DeleNullRect(Max);
        if (M)
            PlaceStrip(*M, *F);
    }
}

bool TRectManage::PlaceStrip(TMaterialType &M, const TRect &F)
{
    FlushTrialStrips();
    const std::int64_t B = FBlade;
    M.SetX(F.Left);
    M.SetY(F.Top);
    M.SetBlade(FBlade);

    // Start and end test: the strip's corner and its far end must both be free. The end point
    // of a column lies one unit further down; that of a row does not.
    const std::int64_t X = M.X(), Y = M.Y(), K = M.Count();
    std::int64_t EndX = X, EndY = Y;
    if (M.Range() == TOrient::horizontal)
        EndX = X + K * M.Width() + (K - 1) * B;
    else
        EndY = Y + K * M.Height() + (K - 1) * B + 1;
    if (IsCovered(X, Y) || IsCovered(EndX, EndY) || OverlapsPlaced(M))
        return false; // not placed; the part kind's UsedCount stays raised for this packing

    FCreateMaterialList.Add()->Assign(M);
    AddRemainder(SatAdd(M.MaxWidth(), B), F.Top, F);
    AddRemainder(F.Left, SatAdd(M.MaxHieght(), B), F);
    return true;
}

// ---------------------------------------------------------------------------------------------
// TRectManage: sheet selection

int TRectManage::GroupLimit() const
{
    // One below the int range, so that the closing notification's number still fits.
    return static_cast<int>(std::min<std::int64_t>(Int32Max - 1,
        std::max<std::int64_t>(MaxGroups,
            static_cast<std::int64_t>(MaxGroupsPerPartKind) * FMaterialTypeList.Count())));
}

void TRectManage::Notify(int Group, int BCindex, int RectCount)
{
    if (FOnNewRectList)
        FOnNewRectList(Group, BCindex, RectCount);
}

void TRectManage::FlushTrialStrips()
{
    if (!FPending)
        return;
    FPending = false;
    FCreateMaterialList.Clear();
    for (const TPendingStrip &S : FPendingStrips) {
        TMaterialType *P = FMaterialTypeList.GetItem(S.Kind);
        if (!P)
            continue;
        // As GetMaterialTypeGroup copies the part kind and PlaceStrip completes the copy.
        auto Item = std::make_unique<TMaterialType>();
        Item->SetX(S.X);
        Item->SetY(S.Y);
        Item->SetWidth(S.Width);
        Item->SetHeight(S.Height);
        Item->SetCount(S.Count);
        Item->SetUsedCount(S.UsedCount);
        Item->SetName(P->Name());
        Item->SetText(P->GetText());
        Item->SetOrient(S.Orient);
        Item->SetRange(S.Range);
        Item->SetMaxWidth(S.MaxWidth);
        Item->SetMaxHieght(S.MaxHeight);
        Item->Data = S.Kind;
        Item->SetGroup(S.Group);
        Item->SetPrice(P->Price());
        Item->SetBlade(FBlade);
        FCreateMaterialList.AddItem(std::move(Item), -1);
    }
    FPendingStrips.clear();
}

void TRectManage::GoWork()
{
    GoWork(std::function<bool()>());
}

void TRectManage::GoWork(const std::function<bool()> &Stop)
{
    // The steps and choices are those of packing every trial with GetNullRect, saving and
    // restoring the part kinds around it. Work is saved in three ways, none of which changes a
    // result: a trial is only packed again from its first strip that a commit has changed (see
    // SheetPacking.h); the part kinds are not copied, the trial keeps its own count of the parts
    // it takes; and no records are made for trial strips except those of the layout taken.
    init();
    const int NSheets = FBCTypeList.Count();
    const int NParts = FMaterialTypeList.Count();

    // Saving and restoring the part kinds around a trial leaves each of them with its Text filled
    // and its sides in the order its Orient gives; nothing else of a part kind changes in a trial.
    if (NSheets > 0) {
        for (int p = 0; p < NParts; ++p) {
            TMaterialType &P = *FMaterialTypeList.GetItem(p);
            P.GetText();
            P.SetOrient(P.Orient());
        }
    }

    std::vector<packing::TKind> Kinds(static_cast<std::size_t>(NParts));
    std::vector<std::int64_t> Rem(static_cast<std::size_t>(NParts));
    int Unfinished = 0;
    for (int p = 0; p < NParts; ++p) {
        const TMaterialType &P = *FMaterialTypeList.GetItem(p);
        packing::TKind &K = Kinds[static_cast<std::size_t>(p)];
        K.Long = std::max(P.Width(), P.Height());
        K.Short = std::min(P.Width(), P.Height());
        K.Valid = K.Short > 0;
        Rem[static_cast<std::size_t>(p)] = static_cast<std::int64_t>(P.Count()) - P.UsedCount();
        if (P.UsedCount() < P.Count())
            ++Unfinished;
    }
    // Sheets are packed inside their trim; a kind whose stock is used up is not tried again.
    std::int64_t MaxSheetSide = 0;
    std::vector<TUsable> Usable(static_cast<std::size_t>(NSheets));
    std::vector<std::int64_t> StockLeft(static_cast<std::size_t>(NSheets));
    for (int i = 0; i < NSheets; ++i) {
        const TMaterialType &S = *FBCTypeList.GetItem(i);
        const TUsable U = UsableSides(S);
        Usable[static_cast<std::size_t>(i)] = U;
        StockLeft[static_cast<std::size_t>(i)] = S.StockLimited() ? S.Stock() : -1;
        if (U.Ok)
            MaxSheetSide = std::max<std::int64_t>(MaxSheetSide, std::max(U.Width, U.Height));
    }
    // Grain: on a sheet with grain, a held part keeps its length along the sheet's grain, one
    // direction of the two (for sheets whose grain runs along X, and those along Y).
    std::vector<std::uint8_t> TurnsGrainX, TurnsGrainY;
    for (int p = 0; p < NParts; ++p) {
        const TMaterialType &P = *FMaterialTypeList.GetItem(p);
        const packing::TKind &K = Kinds[static_cast<std::size_t>(p)];
        if (!P.Grain() || !K.Valid || K.Long == K.Short)
            continue;
        if (TurnsGrainX.empty()) {
            TurnsGrainX.assign(static_cast<std::size_t>(NParts), packing::AnyTurn);
            TurnsGrainY.assign(static_cast<std::size_t>(NParts), packing::AnyTurn);
        }
        const bool LengthIsShort = P.EnteredLengthShorter();
        TurnsGrainX[static_cast<std::size_t>(p)]
            = LengthIsShort ? packing::LongAlongY : packing::LongAlongX;
        TurnsGrainY[static_cast<std::size_t>(p)]
            = LengthIsShort ? packing::LongAlongX : packing::LongAlongY;
    }
    auto TurnsOn = [&](const TMaterialType &Sheet) -> const std::uint8_t * {
        if (!Sheet.Grain() || TurnsGrainX.empty())
            return nullptr;
        return Sheet.EnteredLengthShorter() ? TurnsGrainY.data() : TurnsGrainX.data();
    };
    packing::TTrialPacker Packer;
    Packer.Reset(Kinds, Rem, MaxSheetSide, { MaxStripsPerSheet, MaxNullRects });
    std::vector<packing::TTrial> Trials(static_cast<std::size_t>(NSheets));
    std::vector<char> Retired(static_cast<std::size_t>(NParts), 0);
    std::vector<char> Changed(static_cast<std::size_t>(NParts), 0);
    std::vector<int> ChangedKinds;

    int Step = 1;
    for (;;) {
        if (Stop && Unfinished > 0 && Stop()) {
            FExecpt = true;
            Notify(Step, -1, 0);
            break;
        }
        double BestUtilisation = 0.0;
        std::int64_t BestSheetArea = 0;
        double BestCost = 2147483647.0;
        std::int64_t BestPartsArea = 0;
        int BestKind = -1;
        int BestCount = 0;

        bool LastTried = false;
        for (int i = 0; i < NSheets; ++i) {
            TMaterialType &Sheet = *FBCTypeList.GetItem(i);
            packing::TTrial &T = Trials[static_cast<std::size_t>(i)];
            // A sheet with a non-positive side, a negative kerf, or a trim that leaves no room is
            // never packed; nor one whose stock is used up.
            const TUsable &U = Usable[static_cast<std::size_t>(i)];
            const std::int64_t Stock = StockLeft[static_cast<std::size_t>(i)];
            if (!U.Ok || Stock == 0)
                continue;
            LastTried = i == NSheets - 1;
            if (!T.Packed || T.ValidQueries < static_cast<int>(T.Queries.size()))
                Packer.Pack(T, U.Width, U.Height, Sheet.Blade(), Rem, TurnsOn(Sheet));
            if (T.Strips.empty())
                continue;

            // Repeat count: further copies the open quantities allow, the parts the trial took
            // (refused strips included) counted as used.
            std::int64_t Repeat = INT64_MAX;
            for (const packing::TTrial::TKindUse &U : T.Uses) {
                const std::int64_t Open = Rem[static_cast<std::size_t>(U.Kind)] - U.Taken;
                Repeat = std::min(Repeat, Open < 0 ? 0 : Open / U.OnSheet);
            }
            if (Repeat == INT64_MAX)
                Repeat = 0;
            int SheetCount = static_cast<int>(std::min<std::int64_t>(
                Int32Max, 1 + static_cast<std::int64_t>(ClampToInt(Repeat))));
            if (Stock > 0 && SheetCount > Stock)
                SheetCount = static_cast<int>(Stock);
            const std::int64_t PA = T.PartsArea;
            const std::int64_t SA = Sheet.GetArea();
            const double Utilisation = static_cast<double>(PA) / static_cast<double>(SA) * 100.0;
            // Price per 1,000,000 square units of placed parts, truncated; a figure that does
            // not stay below 2147483647 (or is not a number) never passes.
            const double Cost = std::trunc(Sheet.Price() / static_cast<double>(PA) * 1000000.0);

            bool Passes;
            if (FUseCost)
                Passes = Cost < BestCost;
            else
                Passes = Utilisation >= BestUtilisation;
            const bool Accepted = Passes && (!FUseBCMaxArea || SA > BestSheetArea);
            if (Accepted) {
                BestCost = Cost;
                BestPartsArea = PA;
                BestSheetArea = SA;
                BestUtilisation = static_cast<double>(BestPartsArea)
                    / static_cast<double>(BestSheetArea) * 100.0;
                BestKind = i;
                BestCount = SheetCount;
            }
        }

        // The packer's state after the step's last trial, as GetNullRect would have left it.
        if (NSheets > 0) {
            const TMaterialType &Last = *FBCTypeList.GetItem(NSheets - 1);
            FWidth = Last.Width();
            FHeight = Last.Height();
            FBlade = Last.Blade();
            FPendingStrips.clear();
            const packing::TTrial &T = Trials[static_cast<std::size_t>(NSheets - 1)];
            if (LastTried) {
                const int Trim = Last.Trim();
                for (const packing::TTrialStrip &S : T.Strips) {
                    const TMaterialType &P = *FMaterialTypeList.GetItem(S.Kind);
                    FPendingStrips.push_back({ S.Kind, S.X + Trim, S.Y + Trim, S.Width, S.Height,
                        S.Count, S.Sub < 2 ? TOrient::horizontal : TOrient::vertical,
                        (S.Sub == 0 || S.Sub == 2) ? TOrient::horizontal : TOrient::vertical,
                        S.MaxWidth + Trim, S.MaxHeight + Trim,
                        static_cast<int>(P.UsedCount() + S.UsedBefore), P.Group() });
                }
            }
            FPending = true;
        }

        if (BestKind >= 0) {
            TMaterialType &Sheet = *FBCTypeList.GetItem(BestKind);
            TMaterialType &Record = *FGroupList.Add();
            Record.SetText(Sheet.GetText());
            Record.SetWidth(Sheet.Width());
            Record.SetHeight(Sheet.Height());
            Record.SetTrim(Sheet.Trim());
            Record.SetGrain(Sheet.Grain());
            Record.SetEnteredLengthShorter(Sheet.EnteredLengthShorter());
            Record.SetGroup(Step);
            Record.SetCount(BestCount);
            Record.SetMaxWidth(BestPartsArea);
            Record.SetMaxHieght(BestSheetArea);
            // Whole percent, truncated; worked out on the integers so that an exact 29 %
            // is not shown as 28 because of the binary fraction.
            Record.SetUsedCount(BestSheetArea > 0
                    ? static_cast<int>(static_cast<__int128>(BestPartsArea) * 100 / BestSheetArea)
                    : 0);

            // The committed strips, as copies of the trial's strips with the step's number.
            const packing::TTrial &T = Trials[static_cast<std::size_t>(BestKind)];
            const int Trim = Sheet.Trim();
            for (const packing::TTrialStrip &S : T.Strips) {
                TMaterialType &P = *FMaterialTypeList.GetItem(S.Kind);
                auto Item = std::make_unique<TMaterialType>();
                Item->SetX(S.X + Trim);
                Item->SetY(S.Y + Trim);
                Item->SetWidth(S.Width);
                Item->SetHeight(S.Height);
                Item->SetCount(S.Count);
                Item->SetUsedCount(static_cast<int>(P.UsedCount() + S.UsedBefore));
                Item->SetName(P.Name());
                Item->SetText(P.GetText());
                Item->SetOrient(S.Sub < 2 ? TOrient::horizontal : TOrient::vertical);
                Item->SetRange(
                    (S.Sub == 0 || S.Sub == 2) ? TOrient::horizontal : TOrient::vertical);
                Item->SetMaxWidth(S.MaxWidth + Trim);
                Item->SetMaxHieght(S.MaxHeight + Trim);
                Item->Data = S.Kind;
                Item->SetGroup(Step);
                Item->SetPrice(P.Price());
                Item->SetBlade(Sheet.Blade());
                Item->SetEnteredLengthShorter(P.EnteredLengthShorter());
                Item->SetGrain(P.Grain());
                FCreateRectList.AddItem(std::move(Item), -1);
            }
            FCreateRectList.SetRectCount(BestCount);
            if (std::int64_t &Stock = StockLeft[static_cast<std::size_t>(BestKind)]; Stock > 0)
                Stock -= BestCount;

            ChangedKinds.clear();
            for (const packing::TTrialStrip &S : T.Strips) {
                const auto p = static_cast<std::size_t>(S.Kind);
                TMaterialType &P = *FMaterialTypeList.GetItem(S.Kind);
                const bool WasOpen = P.UsedCount() < P.Count();
                P.SetUsedCount(ClampToInt(static_cast<std::int64_t>(P.UsedCount())
                    + static_cast<std::int64_t>(S.Count) * BestCount));
                P.SetGroup(Step);
                P.Data = BestKind;
                if (WasOpen && P.UsedCount() >= P.Count())
                    --Unfinished;
                Rem[p] = static_cast<std::int64_t>(P.Count()) - P.UsedCount();
                Packer.Lowered(S.Kind, Rem[p]);
                if (!Changed[p]) {
                    Changed[p] = 1;
                    ChangedKinds.push_back(S.Kind);
                }
            }
            for (const int Kind : ChangedKinds) {
                const auto p = static_cast<std::size_t>(Kind);
                if (Rem[p] <= 0 && !Retired[p]) {
                    Retired[p] = 1;
                    Packer.Retire(Kind);
                }
            }
            // A trial holds up to its first choice whose number of parts the commit changed.
            for (packing::TTrial &Tr : Trials) {
                for (int q = 0; q < Tr.ValidQueries; ++q) {
                    const packing::TTrial::TQuery &Q = Tr.Queries[static_cast<std::size_t>(q)];
                    if (Q.Kind < 0 || !Changed[static_cast<std::size_t>(Q.Kind)])
                        continue;
                    const std::int64_t Left = Rem[static_cast<std::size_t>(Q.Kind)] - Q.UsedBefore;
                    if ((Left < Q.N ? Left : Q.N) != Q.K) {
                        Tr.ValidQueries = q;
                        break;
                    }
                }
            }
            for (const int Kind : ChangedKinds)
                Changed[static_cast<std::size_t>(Kind)] = 0;

            Notify(Step, BestKind, BestCount);
        }

        if (Unfinished == 0)
            break;
        if (BestKind < 0) {
            FExecpt = true;
            Notify(Step, -1, 0);
            break;
        }
        if (Step >= GroupLimit()) {
            FExecpt = true;
            Notify(Step + 1, -1, 0);
            break;
        }
        ++Step;
    }
    FlushTrialStrips();
}

// ---------------------------------------------------------------------------------------------
// TRectManage: summaries

std::span<const int> TRectManage::StripsOfGroup(int Group)
{
    if (FStripIndexVersion != FCreateRectList.Version()) {
        const int N = FCreateRectList.Count();
        std::vector<std::pair<int, int>> Order(static_cast<std::size_t>(N));
        bool Sorted = true;
        for (int i = 0; i < N; ++i) {
            Order[static_cast<std::size_t>(i)] = { FCreateRectList.GetItem(i)->Group(), i };
            Sorted = Sorted
                && (i == 0
                    || Order[static_cast<std::size_t>(i - 1)] < Order[static_cast<std::size_t>(i)]);
        }
        // Runs commit their strips group by group, so the list is nearly always in order.
        if (!Sorted)
            std::sort(Order.begin(), Order.end());
        FStripGroups.resize(Order.size());
        FStripPositions.resize(Order.size());
        for (std::size_t i = 0; i < Order.size(); ++i) {
            FStripGroups[i] = Order[i].first;
            FStripPositions[i] = Order[i].second;
        }
        FStripIndexVersion = FCreateRectList.Version();
    }
    const auto [First, Last] = std::equal_range(FStripGroups.begin(), FStripGroups.end(), Group);
    return std::span<const int>(FStripPositions.data() + (First - FStripGroups.begin()),
        static_cast<std::size_t>(Last - First));
}

std::unique_ptr<TMaterialTypeList> TRectManage::GetMTLByGroup(int group)
{
    auto Result = std::make_unique<TMaterialTypeList>();
    // First item of the result by its display text.
    std::unordered_map<std::string, TMaterialType *> ByText;
    std::int64_t Sum = 0;
    for (const int i : StripsOfGroup(group)) {
        TMaterialType &S = *FCreateRectList.GetItem(i);
        const std::string T = S.GetText();
        auto It = ByText.find(T);
        if (It != ByText.end()) {
            TMaterialType &Item = *It->second;
            Item.SetCount(ClampToInt(static_cast<std::int64_t>(Item.Count()) + S.Count()));
        } else {
            TMaterialType &Item = *Result->Add();
            Item.SetText(T);
            Item.SetWidth(S.Width());
            Item.SetHeight(S.Height());
            Item.SetCount(S.Count());
            Item.SetGrain(S.Grain());
            ByText.emplace(Item.GetText(), &Item);
        }
        Sum += S.Count();
    }
    if (Result->Count() == 0)
        return nullptr;
    Result->SetRectCount(ClampToInt(Sum));
    return Result;
}

void TRectManage::GetTotalBC()
{
    for (int i = 0; i < FBCTypeList.Count(); ++i)
        FTotalBCList.Add()->Assign(*FBCTypeList.GetItem(i));

    // Sheets used per sheet text, and the size of the last group of that text.
    struct Use
    {
        std::int64_t Sheets = 0;
        int Width = 0;
        int Height = 0;
    };
    std::unordered_map<std::string, Use> ByText;
    for (int g = 0; g < FGroupList.Count(); ++g) {
        TMaterialType &G = *FGroupList.GetItem(g);
        Use &U = ByText[G.GetText()];
        U.Sheets += G.Count();
        U.Width = G.Width();
        U.Height = G.Height();
    }
    for (int t = 0; t < FTotalBCList.Count(); ++t) {
        TMaterialType &T = *FTotalBCList.GetItem(t);
        T.SetUsedCount(0);
        auto It = ByText.find(T.GetText());
        if (It == ByText.end())
            continue;
        T.SetUsedCount(ClampToInt(It->second.Sheets));
        T.SetWidth(It->second.Width);
        T.SetHeight(It->second.Height);
    }
}

int TRectManage::TotalBCNum() const
{
    int N = 0;
    for (int i = 0; i < FTotalBCList.Count(); ++i)
        if (FTotalBCList.GetItem(i)->UsedCount() != 0)
            ++N;
    return N;
}

#include "telemetry/GpsList.h"

void GpsList::ClearAllData() { *this = GpsList(); }

int GpsList::InsertData(const GpsData* data, int index) {
    if (data == nullptr) return -1;
    if (index >= 0 && index < GetDataCount())
        mGpslist.insert(mGpslist.begin() + index, *data);
    else
        mGpslist.push_back(*data);
    return GetDataCount();
}

int GpsList::InsertData(float latitude, float longitude, float speed, float direction, int index) {
    GpsData data;
    data.setFLatitude(latitude);
    data.setFLongitude(longitude);
    data.setFSpeed(speed);
    data.setFDirection(direction);
    return InsertData(&data, index);
}

bool GpsList::DeleteData(const GpsData* data, bool /*freeData*/) {
    if (data == nullptr || mGpslist.empty()) return false;
    if (data < mGpslist.data() || data >= mGpslist.data() + mGpslist.size()) return false;
    mGpslist.erase(mGpslist.begin() + (data - mGpslist.data()));
    return true;
}

GpsData* GpsList::GetGpsData(int index) {
    if (mGpslist.empty()) return nullptr;
    if (index < 0) return &mGpslist.back();
    if (index >= GetDataCount()) return nullptr;
    return &mGpslist[static_cast<std::size_t>(index)];
}

const GpsData* GpsList::GetGpsData(int index) const { return const_cast<GpsList*>(this)->GetGpsData(index); }

GpsData* GpsList::GetLastData() { return mGpslist.empty() ? nullptr : &mGpslist.back(); }

const GpsData* GpsList::GetLastData() const { return mGpslist.empty() ? nullptr : &mGpslist.back(); }

void GpsList::backFillPosition(float latitude, float longitude) {
    for (GpsData& sample : mGpslist) {
        if (sample.hasPosition()) continue;
        sample.setFLatitude(latitude);
        sample.setFLongitude(longitude);
        sample.setFSpeed(GpsData::kNoSpeed);
    }
}

void GpsList::SyncVideoDuration(int seconds) {
    if (GetDataCount() >= seconds || !m_bSenser) return;
    // Copied: appending may move the samples.
    const bool hadLast = !mGpslist.empty();
    const GpsData last = hadLast ? mGpslist.back() : GpsData();
    mGpslist.reserve(static_cast<std::size_t>(seconds));
    while (GetDataCount() < seconds) {
        GpsData filler;
        if (hadLast) {
            filler.setFLatitude(last.fLatitude());
            filler.setFLongitude(last.fLongitude());
            filler.setFSpeed(GpsData::kNoSpeed);
        }
        mGpslist.push_back(filler);
    }
}

void GpsList::updateExtremes(float x, float y, float z, int index, double unit) {
    const auto currentMax = static_cast<float>(m_fMaxGValue / unit);
    const auto currentMin = static_cast<float>(m_fMinGValue / unit);
    const float newMax = MaxValue(MaxValue(currentMax, x), MaxValue(y, z));
    const float newMin = MinValue(MinValue(currentMin, x), MinValue(y, z));
    const bool one = GetDataCount() == 1;
    if (newMax > currentMax || one) m_nMaxGIndex = index;
    if (newMin < currentMin || one) m_nMinGIndex = index;
    m_fMaxGValue = static_cast<float>(newMax * unit);
    m_fMinGValue = static_cast<float>(newMin * unit);
}

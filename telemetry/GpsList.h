#pragma once
#include "telemetry/GpsData.h"

#include <vector>

// The telemetry of one recording: sample i describes second i. Keeps the single-axis G-sensor
// extremes (maximum never below 0, minimum never above 0) and what kind of data it carries.
class GpsList {
public:
    GpsList() = default;

    void ClearAllData();
    int GetDataCount() const { return static_cast<int>(mGpslist.size()); }
    const std::vector<GpsData>& gpslist() const { return mGpslist; }

    // Inserts before `index` when 0 <= index < count, else appends; the new count, or -1 when no
    // sample is given.
    int InsertData(const GpsData* data, int index);
    int InsertData(float latitude, float longitude, float speed, float direction, int index);
    // Removes the sample if this track holds it; the flag is kept for callers and has no effect.
    bool DeleteData(const GpsData* data, bool freeData);

    // A negative index gives the last sample; an index at or past the end gives none.
    GpsData* GetGpsData(int index);
    const GpsData* GetGpsData(int index) const;
    GpsData* GetLastData();
    const GpsData* GetLastData() const;

    // The track's first fix: every sample so far without a position takes this one, with speed -1
    // (its position comes from another fix).
    void backFillPosition(float latitude, float longitude);

    // Pads a track that carries G-sensor values to the recording length (whole seconds).
    void SyncVideoDuration(int seconds);

    // The extremes rule of the text log readers: the sample at `index` just received x, y, z,
    // given in units of `unit` g; the comparison is made in those units and the extremes are
    // stored in g.
    void updateExtremes(float x, float y, float z, int index, double unit = 1.0);

    bool IsGPSReady() const { return m_bGps; }
    bool IsGSensorReady() const { return m_bSenser; }
    float GetMaxGValue() const { return m_fMaxGValue; }
    float GetMinGValue() const { return m_fMinGValue; }
    int GetMaxGIndex() const { return m_nMaxGIndex; }
    int GetMinGIndex() const { return m_nMinGIndex; }

    float fMaxGValue() const { return m_fMaxGValue; }
    float fMinGValue() const { return m_fMinGValue; }
    int nMaxGIndex() const { return m_nMaxGIndex; }
    int nMinGIndex() const { return m_nMinGIndex; }
    bool bGps() const { return m_bGps; }
    bool bSenser() const { return m_bSenser; }
    void setFMaxGValue(float value) { m_fMaxGValue = value; }
    void setFMinGValue(float value) { m_fMinGValue = value; }
    void setNMaxGIndex(int value) { m_nMaxGIndex = value; }
    void setNMinGIndex(int value) { m_nMinGIndex = value; }
    void setBGps(bool value) { m_bGps = value; }
    void setBSenser(bool value) { m_bSenser = value; }

    // Room for samples about to be appended; a hint only.
    void reserve(std::size_t count) { mGpslist.reserve(count); }

private:
    std::vector<GpsData> mGpslist;
    float m_fMaxGValue = 0.0f;
    float m_fMinGValue = 0.0f;
    int m_nMaxGIndex = -1;
    int m_nMinGIndex = -1;
    bool m_bGps = false;
    bool m_bSenser = false;
};

// Larger and smaller of two floats.
inline float MaxValue(float one, float two) { return one > two ? one : two; }
inline float MinValue(float one, float two) { return one < two ? one : two; }

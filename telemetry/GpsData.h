#pragma once
#include <cstdint>

// One telemetry sample: one second of a recording. Marker values: speed -1 (position taken from
// another fix), direction -1 (unknown), altitude 65535 (no altitude), a coordinate 0 (no position).
class GpsData {
public:
    static constexpr float kNoSpeed = -1.0f;
    static constexpr float kNoDirection = -1.0f;
    static constexpr double kNoAltitude = 65535.0;
    // One raw G-sensor count of the text logs in g.
    static constexpr double kGPerCount = 0.016;

    // The one rule for "no position": a latitude or a longitude of 0. Readers never keep half a fix,
    // so a position on the equator or the prime meridian is given up with the marker.
    static constexpr bool hasPosition(float latitude, float longitude) {
        return latitude != 0.0f && longitude != 0.0f;
    }
    bool hasPosition() const { return hasPosition(m_fLatitude, m_fLongitude); }

    float fLatitude() const { return m_fLatitude; }
    float fLongitude() const { return m_fLongitude; }
    float fSpeed() const { return m_fSpeed; }
    float fDirection() const { return m_fDirection; }
    std::int16_t nSensorX() const { return m_nSensorX; }
    std::int16_t nSensorY() const { return m_nSensorY; }
    std::int16_t nSensorZ() const { return m_nSensorZ; }
    float fGSensorX() const { return m_fGSensorX; }
    float fGSensorY() const { return m_fGSensorY; }
    float fGSensorZ() const { return m_fGSensorZ; }
    double dAltitude() const { return m_dAltitude; }

    void setFLatitude(float value) { m_fLatitude = value; }
    void setFLongitude(float value) { m_fLongitude = value; }
    void setFSpeed(float value) { m_fSpeed = value; }
    void setFDirection(float value) { m_fDirection = value; }
    void setNSensorX(std::int16_t value) { m_nSensorX = value; }
    void setNSensorY(std::int16_t value) { m_nSensorY = value; }
    void setNSensorZ(std::int16_t value) { m_nSensorZ = value; }
    void setFGSensorX(float value) { m_fGSensorX = value; }
    void setFGSensorY(float value) { m_fGSensorY = value; }
    void setFGSensorZ(float value) { m_fGSensorZ = value; }
    void setDAltitude(double value) { m_dAltitude = value; }

    int GetSensorX() const { return m_nSensorX; }
    int GetSensorY() const { return m_nSensorY; }
    int GetSensorZ() const { return m_nSensorZ; }
    float GetGValueX() const { return m_fGSensorX; }
    float GetGValueY() const { return m_fGSensorY; }
    float GetGValueZ() const { return m_fGSensorZ; }

    // Raw counts; the g values follow as count x 0.016.
    void setSensorValue(std::int16_t x, std::int16_t y, std::int16_t z);
    // Values in g; the raw counts are left as they are.
    void setSensorValue(float x, float y, float z);

    // Every field to 0, the direction included.
    void ResetData();
    // Copies every field; false when there is nothing to copy.
    bool Copy(const GpsData* other);

private:
    float m_fLatitude = 0.0f;
    float m_fLongitude = 0.0f;
    float m_fSpeed = 0.0f;
    float m_fDirection = kNoDirection;
    std::int16_t m_nSensorX = 0;
    std::int16_t m_nSensorY = 0;
    std::int16_t m_nSensorZ = 0;
    float m_fGSensorX = 0.0f;
    float m_fGSensorY = 0.0f;
    float m_fGSensorZ = 0.0f;
    double m_dAltitude = 0.0;
};

#include "telemetry/GpsData.h"

void GpsData::setSensorValue(std::int16_t x, std::int16_t y, std::int16_t z) {
    m_nSensorX = x;
    m_nSensorY = y;
    m_nSensorZ = z;
    m_fGSensorX = static_cast<float>(x * kGPerCount);
    m_fGSensorY = static_cast<float>(y * kGPerCount);
    m_fGSensorZ = static_cast<float>(z * kGPerCount);
}

void GpsData::setSensorValue(float x, float y, float z) {
    m_fGSensorX = x;
    m_fGSensorY = y;
    m_fGSensorZ = z;
}

void GpsData::ResetData() {
    *this = GpsData();
    m_fDirection = 0.0f;
}

bool GpsData::Copy(const GpsData* other) {
    if (other == nullptr) return false;
    *this = *other;
    return true;
}

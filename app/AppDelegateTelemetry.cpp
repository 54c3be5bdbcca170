// Telemetry bound to playback: loading the open recording's track, the half-second clock, and
// what the map, the G-sensor graph and the time slider show for the current second.
#include "app/AppDelegate.h"

#include "Utility/DiagnosticLog.h"
#include "telemetry/SampleText.h"
#include "telemetry/TelemetryLoader.h"

#include <cmath>

void AppDelegate::onOpenGPSFile() {
    pmOutputDebugMsg("AppDelegate::onOpenGPSFile - Start");
    const double length = mSelectedMovieDuration;
    PlayBarView& playBar = *views_.playBar;
    MapPanel& map = *views_.map;
    if (length >= 1.0) {
        playBar.setTimeSliderEnabled(true);
        playBar.setTimeSliderRange(0, static_cast<int>(length));
    } else {
        playBar.setTimeSliderEnabled(false);
        playBar.setTimeSliderRange(0, 1);
    }
    playBar.setTimeSliderValue(0);
    views_.toolbar->setButtonEnabled(ToolbarView::Print, true);
    views_.toolbar->setButtonEnabled(ToolbarView::Capture, true);
    views_.toolbar->setButtonEnabled(ToolbarView::Evidence, !isEvidenceRunning() && services_.makeEvidenceMedia);
    m_nEventTime = -1;
    m_poGpsList.ClearAllData();
    m_poGpsTempData.ResetData();

    const auto path = mLibrary.getFilePathInPlaylist(m_nCurPlayIndex);
    if (!path || path->empty()) {
        pmOutputDebugMsg("AppDelegate::onOpenGPSFile - End");
        return;
    }

    const TelemetryLoad load = pmLoadTelemetry(*path, length, m_poGpsList);
    m_nMotorType = load.motorType;
    const bool hasPositions = m_poGpsList.IsGPSReady();
    if (load.found) {
        bool network = false;
        if (map.isOnLine() && map.isMapDocReady()) {
            network = map.isInternetConnected();
        } else {
            map.loadMap();
            network = map.isOnLine();
        }
        map.enableMap(hasPositions ? (network ? 1 : 0) : -1);

        if (load.eventTime != -1) {
            m_nEventTime = load.eventTime;
            playBar.setEventMarkPos(m_nEventTime);
        }
        m_fSensorRange = xCreateSensorGraphic(static_cast<std::int16_t>(m_nEventTime));
        views_.gsensor->setGensorGraphic(&m_oSensorBitmap, m_nMotorType, m_fSensorRange);
        map.drawPath(&m_poGpsList);
        mapGoTo();
    } else {
        if (map.isOnLine()) {
            map.enableMap(!map.isInternetConnected() ? 0 : (hasPositions ? 1 : -1));
        } else {
            map.loadMap();
            if (map.isOnLine()) map.enableMap(hasPositions ? 1 : -1);
            else if (!hasPositions) map.enableMap(-1);
        }
        m_fSensorRange = xCreateSensorGraphic(-1);
        views_.gsensor->setGensorGraphic(&m_oSensorBitmap, m_nMotorType, m_fSensorRange);
        map.setPosition(0.0f, 0.0f, 0.0f, 0.0f, -1.0f);
        map.drawPath(nullptr);
    }

    views_.toolbar->setButtonEnabled(ToolbarView::Export, hasPositions);
    if (m_nEventTime == -1) playBar.setEventMarkPos(-1);
    if (map.getMapState() != 1 && m_nScreenMode == 2) map.onButtonFullMap();
    pmOutputDebugMsg("AppDelegate::onOpenGPSFile - End");
}

float AppDelegate::xCreateSensorGraphic(std::int16_t eventSecond) {
    return pmCreateSensorGraphic(m_poGpsList, eventSecond, m_oSensorBitmap);
}

void AppDelegate::checkMovieTime() {
    updateSelectedMovieCurrentTime();
    if (mSelectedMovieIsPlaying) onPlayTimerChange();
}

void AppDelegate::onPlayTimerChange() {
    drawTime();
    const double time = std::clamp(mSelectedMovieCurrentTime, 0.0, std::max(0.0, mSelectedMovieDuration));
    views_.playBar->setTimeSliderValue(static_cast<int>(time));
    // The indicator first moves with the previous second's values; mapGoTo brings the new ones.
    drawIndicatorAtSlider();
    drawTime();
    mapGoTo();
}

const GpsData* AppDelegate::getCurGpsData() const {
    if (m_poGpsList.GetDataCount() == 0) return nullptr;
    return m_poGpsList.GetGpsData(static_cast<int>(mSelectedMovieCurrentTime));
}

void AppDelegate::mapGoTo() {
    m_nSensorX = m_nSensorY = m_nSensorZ = 0;
    const GpsData& zero = m_poGpsTempData;
    MapPanel& map = *views_.map;
    if (const GpsData* sample = getCurGpsData()) {
        float latitude = sample->fLatitude();
        float longitude = sample->fLongitude();
        float speed = sample->fSpeed();
        double altitude = sample->dAltitude();
        float direction = sample->fDirection();
        if (!sample->hasPosition()) {
            latitude = zero.fLatitude();
            longitude = zero.fLongitude();
            speed = zero.fSpeed();
            if (altitude != 65535.0) altitude = zero.dAltitude();
            if (direction != -1.0f) direction = zero.fDirection();
        }
        m_nSensorX = pmGetIndicatorThousandths(sample->fGSensorX());
        m_nSensorY = pmGetIndicatorThousandths(sample->fGSensorY());
        m_nSensorZ = pmGetIndicatorThousandths(sample->fGSensorZ());
        map.setPosition(latitude, longitude, speed, static_cast<float>(altitude), direction);
    } else {
        map.setPosition(zero.fLatitude(), zero.fLongitude(), zero.fSpeed(), static_cast<float>(zero.dAltitude()),
                        zero.fDirection());
    }
    map.requestRedraw();
    drawIndicatorAtSlider();
}

void AppDelegate::redrawSensorGraph() {
    if (!m_poGpsList.IsGSensorReady()) return;
    m_fSensorRange = xCreateSensorGraphic(static_cast<std::int16_t>(m_nEventTime));
    views_.gsensor->setGensorGraphic(&m_oSensorBitmap, m_nMotorType, m_fSensorRange);
    drawIndicatorAtSlider();
}

void AppDelegate::drawIndicatorAtSlider() {
    views_.gsensor->drawIndicator(views_.playBar->timeSliderPosition(), m_nSensorX, m_nSensorY, m_nSensorZ);
}

void AppDelegate::setCurrentMovieTime(int seconds) {
    const bool playing = getState() == 2;
    const bool both = has2Videos();
    if (playing) {
        mSelectedMovie->setRate(0.0f);
        if (both) mSelectedMovie2->setRate(0.0f);
    }
    if (mSelectedMovie) mSelectedMovie->setCurrentTime(seconds);
    if (both) mSelectedMovie2->setCurrentTime(seconds);
    if (playing) {
        mSelectedMovie->setRate(m_fPlaySpeed);
        if (both) mSelectedMovie2->setRate(m_fPlaySpeed);
    } else {
        updateSelectedMovieCurrentTime();
    }
}

void AppDelegate::onMapViewReady() {
    pmOutputDebugMsg("AppDelegate - onMapViewReady()");
    MapPanel& map = *views_.map;
    if (!map.isOnLine()) map.loadMap();
    if (m_poGpsList.IsGPSReady()) {
        map.drawPath(&m_poGpsList);
        mapGoTo();
    } else {
        map.setPosition(0.0f, 0.0f, 0.0f, 0.0f, -1.0f);
        map.drawPath(nullptr);
    }
}

void AppDelegate::onCenterMap() { views_.map->centerLastLocation(); }

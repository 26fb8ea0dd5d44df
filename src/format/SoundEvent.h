#pragma once

#include "BnmHeader.h"

#include <QtGlobal>

#include <cstddef>

// One 32-byte entry of a bank's event table: what the game asks for.
struct __attribute__((packed)) SoundEvent {
    static constexpr qint32 kTypePlay = 1;
    static constexpr qint32 kTypeStop = 2;
    static constexpr qint32 kTypePitch = 6;
    static constexpr qint32 kTypeVolume = 7;
    static constexpr qint32 kTypeEffect = 9;

    qint32 eventId;
    qint32 type;
    quint32 param1; // a target reference, or a plain number for Effect
    quint32 param2; // Pitch and Volume: 16.16 fixed point
    quint32 param3; // Pitch and Volume: 16.16 fixed point
    quint32 word5;  // not interpreted
    qint32 stopable;
    qint32 dynamic;

    bool HasFractions() const { return type == kTypePitch || type == kTypeVolume; }
};

static_assert(sizeof(SoundEvent) == 32);
static_assert(alignof(SoundEvent) == 1);
static_assert(offsetof(SoundEvent, eventId) == 0);
static_assert(offsetof(SoundEvent, type) == 4);
static_assert(offsetof(SoundEvent, param1) == 8);
static_assert(offsetof(SoundEvent, param2) == 12);
static_assert(offsetof(SoundEvent, param3) == 16);
static_assert(offsetof(SoundEvent, word5) == 20);
static_assert(offsetof(SoundEvent, stopable) == 24);
static_assert(offsetof(SoundEvent, dynamic) == 28);

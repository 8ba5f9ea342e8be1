#pragma once
// The player's command ids. Menus, accelerators, buttons, the tray menu and tests all send one of
// these to the one dispatcher of the main window. The numbers are fixed: they are also the keys of
// the hint strings, and the bar ids double as the commands that show or hide the bars.

enum TCommandId : int {
    // Album
    CmAlbumOpen = 7760,
    CmAlbumSave = 7740,
    CmAlbumClose = 7838,
    CmAlbumDelete = 7827,
    CmAlbumSort = 7753,
    CmAlbumShuffle = 7852,
    CmAlbumProperties = 7815,
    CmDatabaseMaintain = 17942,
    CmDatabaseExport = 17943,
    CmRip = 17944,
    CmOpenImage = 17945,
    CmEject = 7812,
    CmRetract = 7825,
    CmEjectRetract = 7826,
    CmExit = 24310,

    // Song
    CmPlay = 7722,
    CmPlayButton = 7873,
    CmStop = 7723,
    CmPause = 7724,
    CmRepeat = 7709,
    CmCirculate = 7729,
    CmMute = 7888,
    CmSongEdit = 7814,
    CmSongAdd = 7762,
    CmSongRemove = 7773,
    CmMoveUp = 7743,
    CmMoveDown = 7744,
    CmHighlightCurrent = 7788,

    // Fast wind: the two repeated steps and the two commands sent on release
    CmFastRewindStep = 17933,
    CmFastForwardStep = 17934,
    CmFastRewindEnd = 17938,
    CmFastForwardEnd = 17939,

    // Options
    CmContinuousLoop = 7863,
    CmRandomOrder = 7720,
    CmElapsedTime = 7871,
    CmAutoPlay = 7866,
    CmStopPlayOnExit = 7833,
    CmAutoSaveAlbum = 7865,
    CmIgnoreOneTrackCds = 7842,
    CmSaveSettingsOnExit = 7776,
    CmSaveSettingsNow = 7767,

    // Elements: the menu bar and the bars (a bar's window id is its toggle command)
    CmMenuBar = 7869,
    CmQueueBox = 7891,
    CmPositionSlider = 7890,
    CmVolumeBar = 7887,
    CmButtons = 7860,
    CmStatusBar = 32040,
    CmAlwaysOnTop = 17893,
    CmRestoreMenu = 7872,

    // Size and views
    CmDefaultSize = 17930,
    CmViewEverything = 17900,
    CmViewVolumeBarOff = 17901,
    CmViewSlidersOff = 17902,
    CmViewButtonsAndStatus = 17903,
    CmViewButtonsOff = 17904,
    CmViewDigitalAndMenu = 17905,
    CmViewMenuOff = 17906,
    CmCustomView = 17931,
    CmSaveCustomView = 17932,

    // Controls
    CmMiniHelp = 17950,
    CmSetFont = 7883,
    CmVolumeDevice = 17952,

    // Help
    CmHelpContents = 7716,
    CmHelpTutorial = 7886,
    CmHelpKeywordSearch = 7766,
    CmHelpUsingHelp = 7763,
    CmAbout = 7717,
};

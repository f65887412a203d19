; One small installer per kind of window that NSIS and its plugins show, so
; that the corpus test meets them as a user meets them.
;   makensis -DKIND=... -DTARGET=amd64-unicode|x86-unicode -DOUTFILE=out.exe
; The splash plugins show %TEMP%\zentrova-corpus-splash.bmp, which the test
; writes before it starts them.
; KIND: advsplash-fade, advsplash, splash, banner (splash screens, to be moved),
; bgimage (a full-screen background) and wizard (the installer's own window),
; which must stay. Each ends by itself after a few seconds. The splash
; plugins need no installer window; BgImage draws behind it, so it has one.
Target ${TARGET}
Name "Zentrova corpus ${KIND}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
AutoCloseWindow true
ShowInstDetails nevershow
!if "${KIND}" == "wizard"
  !define WITH_WINDOW
!else if "${KIND}" == "bgimage"
  !define WITH_WINDOW
!endif
!ifndef WITH_WINDOW
SilentInstall silent
!endif
Page instfiles

Section
!if "${KIND}" == "advsplash-fade"
  advsplash::show 3000 600 400 -1 "$TEMP\zentrova-corpus-splash"
!else if "${KIND}" == "advsplash"
  advsplash::show 3000 0 0 -1 "$TEMP\zentrova-corpus-splash"
!else if "${KIND}" == "splash"
  splash::show 3000 "$TEMP\zentrova-corpus-splash"
!else if "${KIND}" == "banner"
  Banner::show "Preparing the installation"
  Sleep 3000
  Banner::destroy
!else if "${KIND}" == "bgimage"
  BgImage::SetBg /GRADIENT 0 0 0x80 0 0 0x20
  BgImage::Redraw
  Sleep 3000
  BgImage::Destroy
!else if "${KIND}" == "wizard"
  Sleep 3000
!else
  !error "unknown KIND ${KIND}"
!endif
SectionEnd

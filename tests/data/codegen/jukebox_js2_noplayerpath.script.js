document.write('<object classid="clsid:d27cdb6e-ae6d-11cf-96b8-444553540000" codebase="https://fpdownload.macromedia.com/pub/shockwave/cabs/flash/swflash.cab#version=7,0,0,0" width="250" height="150" align="middle">');
document.write('<param name="movie" value="jbx2250150.swf">');
document.write('<param name="FlashVars" value="loc=">');
document.write('<param name="quality" value="high">');
document.write('<param name="menu" value="false">');
document.write('<param name="allowFullScreen" value="true">');
document.write('<param name="allowScriptAccess" value="always">');
document.write('<embed src="jbx2250150.swf" FlashVars="loc=" quality="high" menu="false"  width="250" height="150" allowScriptAccess="always" allowFullScreen="true" type="application/x-shockwave-flash" pluginspage="https://www.macromedia.com/go/getflashplayer"></embed>');
document.write('</object>');

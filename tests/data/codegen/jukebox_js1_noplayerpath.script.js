var ab0001  = new SWFObject("jbx2250150.swf", "tmbrmjbab0001", "250", "150", "6" );
ab0001.addVariable("loc", "" );
ab0001.addParam("quality", "high" );
ab0001.addParam("menu", "false" );
ab0001.addParam("allowFullScreen", "true" );
ab0001.addParam("allowScriptAccess", "always" );
ab0001.write("flashcontentab0001" );

